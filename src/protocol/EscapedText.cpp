#include "protocol/EscapedText.h"

#include "protocol/HexText.h"

#include <array>

namespace {

struct NamedEscape {
    char byte;
    const char* shown;
};

// The bytes a C or JSON reader knows by name; every other one is \xNN.
constexpr std::array<NamedEscape, 5> kNamedEscapes{{
    {'"', "\\\""},
    {'\\', "\\\\"},
    {'\n', "\\n"},
    {'\r', "\\r"},
    {'\t', "\\t"},
}};

}  // namespace

std::string EscapedText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const NamedEscape* named = nullptr;
        for (const NamedEscape& e : kNamedEscapes) {
            named = e.byte == c ? &e : named;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (named != nullptr) {
            out += named->shown;
        } else if (byte >= 0x20 && byte < 0x7f) {
            out += c;
        } else {
            out += "\\x";
            AppendHexByte(out, byte, true);
        }
    }
    return out;
}

std::string QuotedText(std::string_view bytes) {
    // Appended to the opening quote: GCC 12 at -O3 warns (-Wrestrict)
    // about a literal put in front of a temporary string.
    std::string out = "\"";
    out += EscapedText(bytes);
    out += '"';
    return out;
}
