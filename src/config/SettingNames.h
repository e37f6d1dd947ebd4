#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "protocol/DeviceSettings.h"

// The device settings and codes under stable names, for configuration files
// and for printing. Keys and value names never change within a file version;
// captions and labels are the window's, taken from the form's control table.

// One device setting. A radio group has one value name per radio, in the
// group's order; a check box has none (it is true or false).
struct NamedSetting {
    int32_t DeviceSettings::*field;
    const char* key;
    int captionId;  // the frame that holds the group, or the check box itself
    std::span<const char* const> valueNames;
    // Whether the configuration block carries the setting as a choice. The
    // device type is not: an ESC 'S' block always makes the reader CUSTOM.
    bool inBlock;
};

// One self-defined code. Its caption is the control beside its list: the
// code's check box, or for the MICR error code the label in front of it.
struct NamedCode {
    int listId;
    const char* key;
    int captionId;
};

// Both in the form's order, which is the order of files and printouts.
extern const std::array<NamedSetting, kSettingCount> kNamedSettings;
extern const std::array<NamedCode, kCodeListCount> kNamedCodes;

// The setting's binding to the form (kind and number of values).
const SettingBinding& SettingBindingOf(const NamedSetting& setting);
bool IsCheckBox(const NamedSetting& setting);
// Whether the value is one the setting's control can show.
bool IsChoice(const NamedSetting& setting, int value);

// The window's texts: a caption, and the labels of a group's radios in order
// (empty for a check box).
std::string_view CaptionOf(const NamedSetting& setting);
std::string_view CaptionOf(const NamedCode& code);
std::vector<std::string_view> RadioLabelsOf(const NamedSetting& setting);

// The code's place in CodeValues.
size_t CodeSlotOf(const NamedCode& code);
