#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "protocol/Configuration.h"
#include "protocol/SettingTable.h"

// Everything the settings exchange carries between the window and its
// controls: the configuration the controls show, the window's Comparison
// flag (not a device setting) and the status line text.
struct WindowRecord {
    Configuration configuration;
    int32_t comparison = 1;
    std::string statusText;
};

enum class BindingKind { RadioGroup, CheckBox };

// One setting of kSettings, at the same index, and the control it is bound
// to: the first radio of its group, or its check box. Its values are the
// radios of the group in form order, or a check box's clear and checked.
struct SettingBinding {
    int32_t DeviceSettings::*field;
    int controlId;
    BindingKind kind;
    int captionId;  // the frame that holds the group, or the check box itself
};
extern const std::array<SettingBinding, kSettingCount> kSettingBindings;
const SettingBinding& BindingOf(const SettingRow& row);

// The list of each code of kCodes, at the same index, and its caption: the
// code's check box, or for the MICR error code the label in front of it. A
// code list shows the byte values 0x01 to 0x7F: index i names byte i + 1.
struct CodeBinding {
    int listId;
    int captionId;
};
extern const std::array<CodeBinding, kCodeCount> kCodeBindings;
const CodeBinding& BindingOf(const CodeRow& row);
inline constexpr int kCodeListEntries = kLastCodeByte - kFirstCodeByte + 1;
int CodeValueFromIndex(int listIndex);
int CodeIndexFromValue(int byteValue);
