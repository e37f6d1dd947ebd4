#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "protocol/ConfigBlock.h"
#include "protocol/DeviceSettings.h"
#include "protocol/SettingTable.h"

// The thirteen self-defined codes as bytes, in the order of kCodes: 0x01 to
// 0x7F, or 0 for no code.
using CodeValues = std::array<int, kCodeCount>;
// Bytes 14 and 15 of a block, which no setting covers.
using ReservedBytes = std::array<uint8_t, 2>;

// The reader's configuration as the reader knows it: every setting, the
// thirteen codes (each switched by its setting), and bytes 14 and 15 as the
// reader last reported them. Both faces work on this value: the window maps
// its controls to and from it, the command line reads and writes it.
struct Configuration {
    DeviceSettings settings;
    CodeValues codes{};
    // Empty until the value comes from a configuration the reader reported:
    // an ESC 'S' block is only built with them, so that they go back as the
    // reader gave them.
    std::optional<ReservedBytes> reserved;

    bool operator==(const Configuration&) const = default;
};

// The code bytes of a block as the window takes them into its lists: a byte
// the lists do not hold (0, or 0x80 and above) is no code.
CodeValues DecodeBlockCodes(std::span<const uint8_t, kConfigBlockSize> block);

// Writes the thirteen code bytes; a value outside 0x01 to 0x7F goes as 0,
// as an empty list does.
void EncodeBlockCodes(const CodeValues& codes, std::span<uint8_t, kConfigBlockSize> block);

// The settings, codes and bytes 14 and 15 of a configuration reply.
Configuration DecodeConfiguration(std::span<const uint8_t, kConfigBlockSize> block);

// The block of an ESC 'S' frame for this configuration: byte 0 is always
// CUSTOM, bytes 14 and 15 are the reserved bytes (zeros without them).
ConfigBlock EncodeConfiguration(const Configuration& configuration);
