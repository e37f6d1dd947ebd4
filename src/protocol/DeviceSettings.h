#pragma once

#include <cstdint>

// The reader's settings as values. A choice holds the 0-based index of its
// value, in the order of its value names (the order of the window's radios),
// or -1 while none is chosen; an on/off setting holds 0 or 1. SettingTable
// says where each lives in the block and which command carries it.
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
