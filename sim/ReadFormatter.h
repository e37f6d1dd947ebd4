#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/ConfigBlock.h"

// The bytes a reader sends for a cheque or a card, framed as its
// configuration says.
//
// A MICR code line is written with digits, blanks and these symbols:
// 'T' transit (S1), 'O' on-us (S2), 'A' amount (S3), 'D' dash (S4),
// 'S' the fifth separator (S5), '?' a character that could not be read.
std::vector<uint8_t> FormatChequeRead(const ConfigBlock& config, const std::string& micrLine);

// Track data of a card, '?' standing for a character that could not be
// read; an empty track is not on the card.
std::vector<uint8_t> FormatCardRead(const ConfigBlock& config,
                                    const std::array<std::string, 3>& tracks);

// A few realistic code lines and a card for the demo and the tests.
extern const std::array<const char*, 3> kSampleChequeLines;
extern const std::array<std::string, 3> kSampleCardTracks;
