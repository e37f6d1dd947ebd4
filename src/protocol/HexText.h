#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Bytes as hexadecimal text and back: the one formatter of the block, the
// frames in a trace and the escapes, and the reader of identity texts.

// One hexadecimal digit of a nibble (0 to 15), upper case unless lower.
constexpr char HexDigit(int nibble, bool lower = false) {
    return (lower ? "0123456789abcdef" : "0123456789ABCDEF")[nibble & 0xF];
}

// Appends the byte's two digits, "3F" (or "3f").
void AppendHexByte(std::string& out, uint8_t byte, bool lower = false);

// The bytes as upper-case pairs with a blank between: "30 43 41".
std::string HexBytes(std::span<const uint8_t> bytes);

// Hexadecimal identity texts such as "0471" or "04 71". Blanks and commas
// are ignored; any other character that is not a hex digit makes the text
// invalid (no bytes). A final single digit is paired with a 0.
std::vector<uint8_t> ParseHexBytes(std::string_view text);
uint8_t ParseHexPair(char high, char low);
