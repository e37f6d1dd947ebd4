// Identity texts such as "0471" or "04 71". The input serves twice: as a
// text to parse, and as bytes that are written out as hex text (in a case
// and with blanks and commas chosen from the input) and read back.
//
// Properties: a text with any character that is not a hex digit, a blank or
// a comma gives no bytes; otherwise it gives one byte per two digits, the
// same as its digits alone, and a final single digit reads as if a 0
// followed it; any bytes written as hex text read back unchanged.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "protocol/HexText.h"

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

void CheckText(std::string_view text) {
    const std::vector<uint8_t> bytes = ParseHexBytes(text);
    std::string digits;
    bool valid = true;
    for (char c : text) {
        if (c == ' ' || c == ',') {
            continue;
        }
        valid = valid && IsHexDigit(c);
        digits.push_back(c);
    }
    if (!valid) {
        FUZZ_CHECK(bytes.empty());
        return;
    }
    FUZZ_CHECK(bytes.size() == (digits.size() + 1) / 2);
    FUZZ_CHECK(ParseHexBytes(digits) == bytes);
    if (digits.size() % 2 != 0) {
        FUZZ_CHECK(ParseHexBytes(digits + "0") == bytes);
    }
}

// The bytes as hex text. Each bit of the style, in turn, chooses the case of
// a byte and whether a blank, a comma or nothing follows it.
std::string WriteHex(const std::vector<uint8_t>& bytes, uint32_t style) {
    static constexpr char kUpper[] = "0123456789ABCDEF";
    static constexpr char kLower[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const uint32_t bits = style >> ((i * 3) % 30);
        const char* digits = (bits & 1) != 0 ? kLower : kUpper;
        text.push_back(digits[bytes[i] >> 4]);
        text.push_back(digits[bytes[i] & 0xF]);
        if ((bits & 2) != 0) {
            text.push_back((bits & 4) != 0 ? ',' : ' ');
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckText(text);

    const std::vector<uint8_t> bytes(data, data + size);
    uint32_t style = 0x9E3779B9u;
    for (uint8_t b : bytes) {
        style = (style ^ b) * 0x01000193u;
    }
    FUZZ_CHECK(ParseHexBytes(WriteHex(bytes, style)) == bytes);
    FUZZ_CHECK(ParseHexBytes(WriteHex(bytes, 0)) == bytes);
    return 0;
}
