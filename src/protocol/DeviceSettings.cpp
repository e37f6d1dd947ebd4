#include "DeviceSettings.h"

namespace {
constexpr auto R = BindingKind::RadioGroup;
constexpr auto C = BindingKind::CheckBox;
}  // namespace

// clang-format off
// In declared order; radio groups name their first button.
const std::array<SettingBinding, kSettingCount> kSettingBindings = {{
    {&DeviceSettings::msr1CodeType, 1027, R, 3},
    {&DeviceSettings::msr2CodeType, 1048, R, 3},
    {&DeviceSettings::msr3CodeType, 1051, R, 3},
    {&DeviceSettings::checkErrorReturn, 1035, R, 2},
    {&DeviceSettings::msrErrorReturn, 1070, R, 2},
    {&DeviceSettings::checkSpaceHandle, 1056, R, 2},
    {&DeviceSettings::checkStxAtHead, 1058, R, 2},
    {&DeviceSettings::checkEscAtHead, 1060, R, 2},
    {&DeviceSettings::checkEtxAtEnd, 1062, R, 2},
    {&DeviceSettings::checkCrAtEnd, 1064, R, 2},
    {&DeviceSettings::checkLfAtEnd, 1066, R, 2},
    {&DeviceSettings::msrStxAtHead, 1074, R, 2},
    {&DeviceSettings::msrEscAtHead, 1076, R, 2},
    {&DeviceSettings::msrEtxAtEnd, 1078, R, 2},
    {&DeviceSettings::msrCrAtEnd, 1080, R, 2},
    {&DeviceSettings::msrLfAtEnd, 1082, R, 2},
    {&DeviceSettings::track1Limit, 1034, C, 2},
    {&DeviceSettings::track2Limit, 1054, C, 2},
    {&DeviceSettings::track3Limit, 1055, C, 2},
    {&DeviceSettings::msr1EndCodeOn, 1122, C, 2},
    {&DeviceSettings::msr1StartCodeOn, 1121, C, 2},
    {&DeviceSettings::msr2EndCodeOn, 1124, C, 2},
    {&DeviceSettings::msr2StartCodeOn, 1123, C, 2},
    {&DeviceSettings::msr3EndCodeOn, 1126, C, 2},
    {&DeviceSettings::msr3StartCodeOn, 1125, C, 2},
    {&DeviceSettings::deviceType, 1007, R, 8},
    {&DeviceSettings::msr1Standard, 1021, R, 6},
    {&DeviceSettings::msr2Standard, 1028, R, 6},
    {&DeviceSettings::msr3Standard, 1040, R, 6},
    {&DeviceSettings::checkCode, 1018, R, 2},
    {&DeviceSettings::separator1On, 1106, C, 2},
    {&DeviceSettings::separator2On, 1107, C, 2},
    {&DeviceSettings::separator3On, 1108, C, 2},
    {&DeviceSettings::separator4On, 1109, C, 2},
    {&DeviceSettings::separator5On, 1110, C, 2},
    {&DeviceSettings::msrErrorCodeOn, 1132, C, 2},
}};
// clang-format on

// clang-format off
const std::array<CodeBinding, kCodeListCount> kCodeBindings = {{
    {1101, 2},   // separator1Code
    {1102, 3},   // separator2Code
    {1103, 4},   // separator3Code
    {1104, 5},   // separator4Code
    {1105, 6},   // separator5Code
    {1113, 7},   // micrErrorCode
    {1111, 12},  // msrErrorCode
    {1039, 18},  // msr1StartCode
    {1096, 19},  // msr1EndCode
    {1097, 20},  // msr2StartCode
    {1098, 21},  // msr2EndCode
    {1099, 22},  // msr3StartCode
    {1100, 23},  // msr3EndCode
}};
// clang-format on

int CodeValueFromIndex(int listIndex) {
    return listIndex >= 0 && listIndex < kCodeListEntries ? listIndex + 1 : 0;
}

int CodeIndexFromValue(int byteValue) {
    return byteValue >= 1 && byteValue <= kCodeListEntries ? byteValue - 1 : -1;
}
