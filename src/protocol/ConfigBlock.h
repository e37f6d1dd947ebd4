#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "protocol/DeviceSettings.h"
#include "protocol/SettingTable.h"

// The reader's 24-byte configuration: the payload of the ESC 'S' frame and
// the body of the configuration reply.
inline constexpr int kConfigBlockSize = 24;
using ConfigBlock = std::array<uint8_t, kConfigBlockSize>;

// The device type byte of every ESC 'S' block: '0', CUSTOM.
inline constexpr uint8_t kCustomDigit = '0';
// Bytes 14 and 15 carry no setting.
inline constexpr int kFirstReservedByte = 14;

// Writes the device type byte ('0', CUSTOM) and every bit field. The code
// bytes and bytes 14 and 15 are left as the block holds them.
void EncodeBlockSettings(const DeviceSettings& settings,
                         std::span<uint8_t, kConfigBlockSize> block);

// Reads the device type (an ASCII digit) and every bit field; bits outside
// the fields are ignored. The code bytes are not settings and are not read.
void DecodeBlockSettings(std::span<const uint8_t, kConfigBlockSize> block,
                         DeviceSettings& settings);

// Whether a reply block is a configuration the reader can hold: its device
// type a digit of the Device Type group, every multi-bit field one of its
// group's choices. Anything else (an acknowledgement, a stale or garbled
// reply) is not believed. Returns the row of the setting that is out of
// range, or nullptr for a block that is one.
const SettingRow* ConfigBlockFault(std::span<const uint8_t, kConfigBlockSize> block);
