#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "protocol/ConfigBlock.h"
#include "protocol/DeviceSettings.h"

// The thirteen self-defined codes as bytes, in the order of kCodeBindings:
// 0x01 to 0x7F, or 0 when the code's list has no selection.
using CodeValues = std::array<int, kCodeListCount>;

// A reader's configuration under the names of its settings: what the window
// shows after a configuration read and what a configuration file holds.
struct Configuration {
    DeviceSettings settings;
    CodeValues codes{};

    bool operator==(const Configuration&) const = default;
};

// The code bytes of a block as the window takes them into its lists: a byte
// the lists do not hold (0, or 0x80 and above) is no selection.
CodeValues DecodeBlockCodes(std::span<const uint8_t, kConfigBlockSize> block);

// Writes the thirteen code bytes; a value outside 0x01 to 0x7F goes as 0,
// as an empty list does.
void EncodeBlockCodes(const CodeValues& codes, std::span<uint8_t, kConfigBlockSize> block);

// The settings and codes of a configuration reply.
Configuration DecodeConfiguration(const ConfigBlock& block);

// The block of an ESC 'S' frame for this configuration. It starts from the
// block the reader last reported, so that bytes 14 and 15, which no setting
// covers, go back as the reader gave them; byte 0 is always CUSTOM.
ConfigBlock EncodeConfiguration(const Configuration& configuration, const ConfigBlock& reported);
