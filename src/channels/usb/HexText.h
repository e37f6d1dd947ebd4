#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Hexadecimal identity texts such as "0471" or "04 71". Blanks and commas
// are ignored; any other character that is not a hex digit makes the text
// invalid (no bytes). A final single digit is paired with a 0.
std::vector<uint8_t> ParseHexBytes(std::string_view text);
uint8_t ParseHexPair(char high, char low);
