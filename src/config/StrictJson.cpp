#include "config/StrictJson.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "protocol/EscapedText.h"

namespace {

// A configuration nests two levels; this leaves room and keeps the
// recursion's stack small whatever the text holds.
constexpr int kMaxDepth = 32;

struct SimpleEscape {
    char letter;
    char byte;
};
constexpr std::array<SimpleEscape, 8> kSimpleEscapes{{
    {'"', '"'},
    {'\\', '\\'},
    {'/', '/'},
    {'b', '\b'},
    {'f', '\f'},
    {'n', '\n'},
    {'r', '\r'},
    {'t', '\t'},
}};

// The well-formed UTF-8 sequences by their first byte: the length and the
// range of the second byte, which rules out overlong forms, surrogates and
// code points past U+10FFFF. Every later byte is 0x80 to 0xBF.
struct Utf8Lead {
    uint8_t first;
    uint8_t last;
    size_t length;
    uint8_t secondLow;
    uint8_t secondHigh;
};
constexpr std::array<Utf8Lead, 8> kUtf8Leads{{
    {0xC2, 0xDF, 2, 0x80, 0xBF},
    {0xE0, 0xE0, 3, 0xA0, 0xBF},
    {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F},
    {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF},
    {0xF4, 0xF4, 4, 0x80, 0x8F},
}};

constexpr std::array<std::string_view, 3> kLiterals = {"true", "false", "null"};

void AppendUtf8(uint32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

class Scanner {
  public:
    explicit Scanner(std::string_view text) : text_(text) {}

    JsonCheck Run() {
        SkipSpace();
        if (Value(0)) {
            SkipSpace();
            if (pos_ < text_.size()) {
                Fail("the text goes on after the JSON value: found " + Next());
            } else {
                check_.ok = true;
            }
        }
        return check_;
    }

  private:
    bool Value(int depth) {
        if (pos_ >= text_.size()) {
            return Fail("the text ends where a value belongs");
        }
        const char c = text_[pos_];
        if (c == '{' || c == '[') {
            if (depth >= kMaxDepth) {
                return Fail("objects and arrays nest deeper than " + std::to_string(kMaxDepth) +
                            " levels");
            }
            return c == '{' ? Object(depth + 1) : Array(depth + 1);
        }
        if (c == '"') {
            return String(nullptr);
        }
        if (c == '-' || IsDigit(c)) {
            return Number();
        }
        for (const std::string_view literal : kLiterals) {
            if (text_.substr(pos_, literal.size()) == literal) {
                pos_ += literal.size();
                return true;
            }
        }
        return Fail(
            "a value (an object, array, string, number, true, false or null) belongs here; "
            "found " +
            Next());
    }

    bool Object(int depth) {
        ++pos_;  // {
        SkipSpace();
        if (Accept('}')) {
            return true;
        }
        std::map<std::string, size_t> keys;  // each key and where it stands
        for (;;) {
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] != '"') {
                return Fail("a key in double quotes belongs here; found " + Next());
            }
            const size_t keyAt = pos_;
            std::string key;
            if (!String(&key)) {
                return false;
            }
            if (const auto [first, added] = keys.emplace(key, keyAt); !added) {
                pos_ = keyAt;
                return Fail("the key " + QuotedText(key) + " is given twice (first at " +
                            Where(first->second) + "); a key may be given once");
            }
            SkipSpace();
            if (!Accept(':')) {
                return Fail("\":\" belongs after a key; found " + Next());
            }
            SkipSpace();
            std::string step = path_.empty() ? "" : ".";
            step += EscapedText(key);
            path_.push_back(std::move(step));
            const bool valueOk = Value(depth);
            path_.pop_back();
            if (!valueOk) {
                return false;
            }
            SkipSpace();
            if (Accept('}')) {
                return true;
            }
            if (!Accept(',')) {
                return Fail("\",\" or \"}\" belongs after a member; found " + Next());
            }
        }
    }

    bool Array(int depth) {
        ++pos_;  // [
        SkipSpace();
        if (Accept(']')) {
            return true;
        }
        for (size_t index = 0;; ++index) {
            SkipSpace();
            path_.push_back(std::string("[").append(std::to_string(index)).append("]"));
            const bool valueOk = Value(depth);
            path_.pop_back();
            if (!valueOk) {
                return false;
            }
            SkipSpace();
            if (Accept(']')) {
                return true;
            }
            if (!Accept(',')) {
                return Fail("\",\" or \"]\" belongs after an element; found " + Next());
            }
        }
    }

    // A string from its opening quote on; its text into *decoded when set.
    bool String(std::string* decoded) {
        ++pos_;  // "
        std::string ignored;
        std::string& out = decoded != nullptr ? *decoded : ignored;
        while (pos_ < text_.size()) {
            const auto byte = static_cast<uint8_t>(text_[pos_]);
            if (byte == '"') {
                ++pos_;
                return true;
            }
            if (byte < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                return Fail("a string holds the control character " +
                            EscapedText(text_.substr(pos_, 1)) + " as it is; JSON writes it " +
                            escape);
            }
            if (byte == '\\') {
                if (!Escape(out)) {
                    return false;
                }
            } else if (byte < 0x80) {
                out += static_cast<char>(byte);
                ++pos_;
            } else if (!Utf8Sequence(out)) {
                return false;
            }
        }
        return Fail("the text ends inside a string");
    }

    bool Escape(std::string& out) {
        if (pos_ + 1 >= text_.size()) {
            return Fail("the text ends inside a string");
        }
        const char letter = text_[pos_ + 1];
        for (const SimpleEscape& e : kSimpleEscapes) {
            if (e.letter == letter) {
                out += e.byte;
                pos_ += 2;
                return true;
            }
        }
        if (letter != 'u') {
            return Fail("a string holds the escape " + QuotedText(text_.substr(pos_, 2)) +
                        ", which JSON has not; it has \\\" \\\\ \\/ \\b \\f \\n \\r \\t and "
                        "\\u with four hex digits");
        }
        uint32_t unit = 0;
        if (!HexUnit(pos_ + 2, unit)) {
            return false;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return Fail(QuotedText(text_.substr(pos_, 6)) +
                        " is the second half of a UTF-16 surrogate pair without the first");
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            uint32_t low = 0;
            if (text_.substr(pos_ + 6, 2) != "\\u" || !HexUnit(pos_ + 8, low) || low < 0xDC00 ||
                low > 0xDFFF) {
                return Fail(QuotedText(text_.substr(pos_, 6)) +
                            " is the first half of a UTF-16 surrogate pair without the second");
            }
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            pos_ += 6;
        }
        AppendUtf8(unit, out);
        pos_ += 6;
        return true;
    }

    // Four hex digits at offset; fails at the \u that holds them.
    bool HexUnit(size_t offset, uint32_t& unit) {
        for (size_t i = 0; i < 4; ++i) {
            const char c = offset + i < text_.size() ? text_[offset + i] : '\0';
            const int digit = IsDigit(c)               ? c - '0'
                              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                       : -1;
            if (digit < 0) {
                return Fail("the escape " + QuotedText(text_.substr(pos_, 2)) +
                            " takes four hex digits");
            }
            unit = unit * 16 + static_cast<uint32_t>(digit);
        }
        return true;
    }

    bool Utf8Sequence(std::string& out) {
        const auto first = static_cast<uint8_t>(text_[pos_]);
        for (const Utf8Lead& lead : kUtf8Leads) {
            if (first < lead.first || first > lead.last) {
                continue;
            }
            for (size_t i = 1; i < lead.length; ++i) {
                const auto next =
                    pos_ + i < text_.size() ? static_cast<uint8_t>(text_[pos_ + i]) : 0;
                const uint8_t low = i == 1 ? lead.secondLow : 0x80;
                const uint8_t high = i == 1 ? lead.secondHigh : 0xBF;
                if (next < low || next > high) {
                    return NotUtf8();
                }
            }
            out += text_.substr(pos_, lead.length);
            pos_ += lead.length;
            return true;
        }
        return NotUtf8();
    }

    bool NotUtf8() {
        return Fail("a string holds the byte " + EscapedText(text_.substr(pos_, 1)) +
                    ", which does not begin a UTF-8 character here");
    }

    bool Number() {
        const size_t start = pos_;
        Accept('-');
        if (Accept('0')) {
            if (pos_ < text_.size() && IsDigit(text_[pos_])) {
                return Fail("a number begins with 0 and another digit");
            }
        } else if (!Digits()) {
            return Fail("a digit belongs after \"-\"; found " + Next());
        }
        if (Accept('.') && !Digits()) {
            return Fail("a digit belongs after the decimal point; found " + Next());
        }
        if (Accept('e') || Accept('E')) {
            if (!Accept('+')) {
                Accept('-');
            }
            if (!Digits()) {
                return Fail("a digit belongs in the exponent; found " + Next());
            }
        }
        check_.numbers[Path()] = std::string(text_.substr(start, pos_ - start));
        return true;
    }

    bool Digits() {
        const size_t start = pos_;
        while (pos_ < text_.size() && IsDigit(text_[pos_])) {
            ++pos_;
        }
        return pos_ > start;
    }

    bool Accept(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r')) {
            ++pos_;
        }
    }

    // The byte at the scan, as a refusal names what it found.
    std::string Next() const {
        return pos_ < text_.size() ? QuotedText(text_.substr(pos_, 1)) : "the end of the text";
    }

    std::string Path() const {
        std::string path;
        for (const std::string& piece : path_) {
            path += piece;
        }
        return path;
    }

    // "line L, column C": lines from 1, columns in characters from 1.
    std::string Where(size_t offset) const {
        size_t line = 1;
        size_t column = 1;
        for (size_t i = 0; i < offset && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++line;
                column = 1;
            } else if ((static_cast<uint8_t>(text_[i]) & 0xC0) != 0x80) {
                ++column;
            }
        }
        return "line " + std::to_string(line) + ", column " + std::to_string(column);
    }

    bool Fail(const std::string& what) {
        const std::string path = Path();
        check_.problem = "not valid JSON at " + Where(pos_) +
                         (path.empty() ? "" : " (in " + path + ")") + ": " + what;
        return false;
    }

    std::string_view text_;
    size_t pos_ = 0;
    std::vector<std::string> path_;
    JsonCheck check_;
};

}  // namespace

JsonCheck CheckStrictJson(std::string_view text) {
    return Scanner(text).Run();
}
