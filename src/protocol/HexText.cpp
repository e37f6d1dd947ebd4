#include "protocol/HexText.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

}  // namespace

uint8_t ParseHexPair(char high, char low) {
    const int h = HexDigit(high);
    const int l = HexDigit(low);
    return static_cast<uint8_t>((h < 0 ? 0 : h) * 16 + (l < 0 ? 0 : l));
}

std::vector<uint8_t> ParseHexBytes(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c == ' ' || c == ',') {
            continue;
        }
        if (HexDigit(c) < 0) {
            return {};
        }
        digits.push_back(c);
    }
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < digits.size(); i += 2) {
        bytes.push_back(ParseHexPair(digits[i], i + 1 < digits.size() ? digits[i + 1] : '0'));
    }
    return bytes;
}

void AppendHexByte(std::string& out, uint8_t byte, bool lower) {
    out += HexDigit(byte >> 4, lower);
    out += HexDigit(byte & 0xF, lower);
}

std::string HexBytes(std::span<const uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        AppendHexByte(text, byte);
    }
    return text;
}
