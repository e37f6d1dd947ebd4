#pragma once

#include <array>
#include <cstdint>
#include <string>

// The reader's configuration as the window holds it while it is edited.
// A radio-group field holds the 0-based index of the checked button, -1 for
// none; a check-box field holds 0 or 1. Translation into the reader's bytes
// happens when a frame is built and is undone when a configuration is read.
struct DeviceSettings {
    int32_t msr1CodeType = -1;
    int32_t msr2CodeType = -1;
    int32_t msr3CodeType = -1;
    int32_t checkErrorReturn = -1;
    int32_t msrErrorReturn = -1;
    int32_t checkSpaceHandle = -1;
    int32_t checkStxAtHead = -1;
    int32_t checkEscAtHead = -1;
    int32_t checkEtxAtEnd = -1;
    int32_t checkCrAtEnd = -1;
    int32_t checkLfAtEnd = -1;
    int32_t msrStxAtHead = -1;
    int32_t msrEscAtHead = -1;
    int32_t msrEtxAtEnd = -1;
    int32_t msrCrAtEnd = -1;
    int32_t msrLfAtEnd = -1;
    int32_t track1Limit = 0;
    int32_t track2Limit = 0;
    int32_t track3Limit = 0;
    int32_t msr1EndCodeOn = 0;
    int32_t msr1StartCodeOn = 0;
    int32_t msr2EndCodeOn = 0;
    int32_t msr2StartCodeOn = 0;
    int32_t msr3EndCodeOn = 0;
    int32_t msr3StartCodeOn = 0;
    int32_t deviceType = 0;  // CUSTOM
    int32_t msr1Standard = -1;
    int32_t msr2Standard = -1;
    int32_t msr3Standard = -1;
    int32_t checkCode = -1;
    int32_t separator1On = 0;
    int32_t separator2On = 0;
    int32_t separator3On = 0;
    int32_t separator4On = 0;
    int32_t separator5On = 0;
    int32_t msrErrorCodeOn = 0;

    bool operator==(const DeviceSettings&) const = default;
};

// Everything the settings exchange carries between the window and its
// controls: the device settings, the window's Comparison flag (not a device
// setting) and the status line text.
struct WindowRecord {
    DeviceSettings settings;
    int32_t comparison = 1;
    std::string statusText;
};

enum class BindingKind { RadioGroup, CheckBox };

// One device setting and the control it is bound to: the first radio of its
// group, or its check box. valueCount is the number of radios in the group
// (2 for a check box); values 0 .. valueCount-1 are in range.
struct SettingBinding {
    int32_t DeviceSettings::*field;
    int controlId;
    BindingKind kind;
    int valueCount;
};

inline constexpr int kSettingCount = 36;
extern const std::array<SettingBinding, kSettingCount> kSettingBindings;

// The thirteen self-defined codes: each is the selection of one code list
// (index + 1, 0 for none) and travels in one byte of the configuration block.
struct CodeBinding {
    int listId;
    int blockByte;
};

inline constexpr int kCodeListCount = 13;
extern const std::array<CodeBinding, kCodeListCount> kCodeBindings;

// A code list shows the byte values 0x01 to 0x7F: index i names byte i + 1.
inline constexpr int kCodeListEntries = 0x7F;
int CodeValueFromIndex(int listIndex);
int CodeIndexFromValue(int byteValue);
