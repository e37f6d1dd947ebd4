#include "protocol/DeviceSettings.h"

#include "protocol/ControlIds.h"

namespace {
constexpr auto R = BindingKind::RadioGroup;
constexpr auto C = BindingKind::CheckBox;
}  // namespace

// clang-format off
// In declared order; radio groups name their first button.
const std::array<SettingBinding, kSettingCount> kSettingBindings = {{
    {&DeviceSettings::msr1CodeType, ctl::Msr1Aba1Radio, R, 3},
    {&DeviceSettings::msr2CodeType, ctl::Msr2Aba1Radio, R, 3},
    {&DeviceSettings::msr3CodeType, ctl::Msr3Aba1Radio, R, 3},
    {&DeviceSettings::checkErrorReturn, ctl::CheckNotReturnWhenErrRadio, R, 2},
    {&DeviceSettings::msrErrorReturn, ctl::MsrNotReturnWhenErrRadio, R, 2},
    {&DeviceSettings::checkSpaceHandle, ctl::CheckNoSpaceHandleRadio, R, 2},
    {&DeviceSettings::checkStxAtHead, ctl::CheckNoStxAtHeadRadio, R, 2},
    {&DeviceSettings::checkEscAtHead, ctl::CheckNoEscAtHeadRadio, R, 2},
    {&DeviceSettings::checkEtxAtEnd, ctl::CheckNoEtxAtEndRadio, R, 2},
    {&DeviceSettings::checkCrAtEnd, ctl::CheckNoCrAtEndRadio, R, 2},
    {&DeviceSettings::checkLfAtEnd, ctl::CheckNoLfAtEndRadio, R, 2},
    {&DeviceSettings::msrStxAtHead, ctl::MsrNoStxAtHeadRadio, R, 2},
    {&DeviceSettings::msrEscAtHead, ctl::MsrNoEscAtHeadRadio, R, 2},
    {&DeviceSettings::msrEtxAtEnd, ctl::MsrNoEtxAtEndRadio, R, 2},
    {&DeviceSettings::msrCrAtEnd, ctl::MsrNoCrAtEndRadio, R, 2},
    {&DeviceSettings::msrLfAtEnd, ctl::MsrNoLfAtEndRadio, R, 2},
    {&DeviceSettings::track1Limit, ctl::Track1LimitCheck, C, 2},
    {&DeviceSettings::track2Limit, ctl::Track2LimitCheck, C, 2},
    {&DeviceSettings::track3Limit, ctl::Track3LimitCheck, C, 2},
    {&DeviceSettings::msr1EndCodeOn, ctl::Msr1EndCodeCheck, C, 2},
    {&DeviceSettings::msr1StartCodeOn, ctl::Msr1StartCodeCheck, C, 2},
    {&DeviceSettings::msr2EndCodeOn, ctl::Msr2EndCodeCheck, C, 2},
    {&DeviceSettings::msr2StartCodeOn, ctl::Msr2StartCodeCheck, C, 2},
    {&DeviceSettings::msr3EndCodeOn, ctl::Msr3EndCodeCheck, C, 2},
    {&DeviceSettings::msr3StartCodeOn, ctl::Msr3StartCodeCheck, C, 2},
    {&DeviceSettings::deviceType, ctl::CustomRadio, R, 8},
    {&DeviceSettings::msr1Standard, ctl::Msr1IsoRadio, R, 6},
    {&DeviceSettings::msr2Standard, ctl::Msr2IsoRadio, R, 6},
    {&DeviceSettings::msr3Standard, ctl::Msr3IsoRadio, R, 6},
    {&DeviceSettings::checkCode, ctl::CheckE13bRadio, R, 2},
    {&DeviceSettings::separator1On, ctl::MicrSeparator1Check, C, 2},
    {&DeviceSettings::separator2On, ctl::MicrSeparator2Check, C, 2},
    {&DeviceSettings::separator3On, ctl::MicrSeparator3Check, C, 2},
    {&DeviceSettings::separator4On, ctl::MicrSeparator4Check, C, 2},
    {&DeviceSettings::separator5On, ctl::MicrSeparator5Check, C, 2},
    {&DeviceSettings::msrErrorCodeOn, ctl::MsrErrorCodeCheck, C, 2},
}};
// clang-format on

// clang-format off
const std::array<CodeBinding, kCodeListCount> kCodeBindings = {{
    {ctl::MicrSeparator1List, 2},
    {ctl::MicrSeparator2List, 3},
    {ctl::MicrSeparator3List, 4},
    {ctl::MicrSeparator4List, 5},
    {ctl::MicrSeparator5List, 6},
    {ctl::MicrErrorCodeList,  7},
    {ctl::MsrErrorCodeList,   12},
    {ctl::Msr1StartCodeList,  18},
    {ctl::Msr1EndCodeList,    19},
    {ctl::Msr2StartCodeList,  20},
    {ctl::Msr2EndCodeList,    21},
    {ctl::Msr3StartCodeList,  22},
    {ctl::Msr3EndCodeList,    23},
}};
// clang-format on

int CodeValueFromIndex(int listIndex) {
    return listIndex >= 0 && listIndex < kCodeListEntries ? listIndex + 1 : 0;
}

int CodeIndexFromValue(int byteValue) {
    return byteValue >= 1 && byteValue <= kCodeListEntries ? byteValue - 1 : -1;
}
