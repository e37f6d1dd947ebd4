#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "protocol/DeviceSettings.h"

// Where a setting lives in the 24-byte configuration block: a bit field, or
// for the device type the ASCII digit of byte 0. An inverted flag is 1 in
// the block when the setting is off.
struct BlockPlace {
    int byte;
    int shift;
    int width;
    bool inverted;
    bool digit;
};

// One setting of the reader: its file key and value names (none for an
// on/off setting), its place in the block, and the short command whose
// payload byte carries it with its weight (kNoCommand: only the block does).
// The codec, the frame builders, the configuration file and the command
// line's names are all read from these rows.
struct SettingRow {
    int32_t DeviceSettings::*field;
    const char* key;
    std::span<const char* const> valueNames;
    BlockPlace place;
    int32_t command;
    int weight;
};

// In the form's order, which is the order of files and printouts.
inline constexpr int kSettingCount = 36;
extern const std::array<SettingRow, kSettingCount> kSettings;

// Two values (0 off, 1 on) for an on/off setting, else one a value name.
int ValueCountOf(const SettingRow& row);
bool IsOnOff(const SettingRow& row);
// Whether the value names one of the setting's values.
bool IsChoice(const SettingRow& row, int value);
const SettingRow& RowOf(int32_t DeviceSettings::*field);
// nullptr for a key no setting has.
const SettingRow* FindSetting(std::string_view key);

// One of the thirteen self-defined codes: its file key, the block byte it
// travels in, and the setting that switches it on (nullptr: always in use).
struct CodeRow {
    const char* key;
    int blockByte;
    int32_t DeviceSettings::*switchField;
};

// In the form's order; a configuration's codes are indexed the same way.
inline constexpr int kCodeCount = 13;
extern const std::array<CodeRow, kCodeCount> kCodes;
const CodeRow* FindCode(std::string_view key);

// A code is a byte 0x01 to 0x7F; 0 is no code.
inline constexpr int kFirstCodeByte = 0x01;
inline constexpr int kLastCodeByte = 0x7F;
bool IsCodeByte(int byte);
