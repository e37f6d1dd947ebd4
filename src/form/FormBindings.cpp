#include "form/FormBindings.h"

#include "form/ControlIds.h"

namespace {
using S = DeviceSettings;
constexpr auto R = BindingKind::RadioGroup;
constexpr auto C = BindingKind::CheckBox;
}  // namespace

// clang-format off
// In kSettings' order; radio groups name their first button.
const std::array<SettingBinding, kSettingCount> kSettingBindings = {{
    {&S::deviceType, ctl::CustomRadio, R, ctl::DeviceTypeFrame},
    {&S::checkCode, ctl::CheckE13bRadio, R, ctl::CheckCodeFrame},
    {&S::msr1CodeType, ctl::Msr1Aba1Radio, R, ctl::Msr1CodeFrame},
    {&S::msr2CodeType, ctl::Msr2Aba1Radio, R, ctl::Msr2CodeFrame},
    {&S::msr3CodeType, ctl::Msr3Aba1Radio, R, ctl::Msr3CodeFrame},
    {&S::track1Limit, ctl::Track1LimitCheck, C, ctl::Track1LimitCheck},
    {&S::track2Limit, ctl::Track2LimitCheck, C, ctl::Track2LimitCheck},
    {&S::track3Limit, ctl::Track3LimitCheck, C, ctl::Track3LimitCheck},
    {&S::msr1Standard, ctl::Msr1IsoRadio, R, ctl::Msr1StandardsFrame},
    {&S::msr2Standard, ctl::Msr2IsoRadio, R, ctl::Msr2StandardsFrame},
    {&S::msr3Standard, ctl::Msr3IsoRadio, R, ctl::Msr3StandardsFrame},
    {&S::checkErrorReturn, ctl::CheckNotReturnWhenErrRadio, R, ctl::CheckDataFormatFrame},
    {&S::checkSpaceHandle, ctl::CheckNoSpaceHandleRadio, R, ctl::CheckDataFormatFrame},
    {&S::checkStxAtHead, ctl::CheckNoStxAtHeadRadio, R, ctl::CheckDataFormatFrame},
    {&S::checkEscAtHead, ctl::CheckNoEscAtHeadRadio, R, ctl::CheckDataFormatFrame},
    {&S::checkEtxAtEnd, ctl::CheckNoEtxAtEndRadio, R, ctl::CheckDataFormatFrame},
    {&S::checkCrAtEnd, ctl::CheckNoCrAtEndRadio, R, ctl::CheckDataFormatFrame},
    {&S::checkLfAtEnd, ctl::CheckNoLfAtEndRadio, R, ctl::CheckDataFormatFrame},
    {&S::msrErrorReturn, ctl::MsrNotReturnWhenErrRadio, R, ctl::MsrDataFormatFrame},
    {&S::msrStxAtHead, ctl::MsrNoStxAtHeadRadio, R, ctl::MsrDataFormatFrame},
    {&S::msrEscAtHead, ctl::MsrNoEscAtHeadRadio, R, ctl::MsrDataFormatFrame},
    {&S::msrEtxAtEnd, ctl::MsrNoEtxAtEndRadio, R, ctl::MsrDataFormatFrame},
    {&S::msrCrAtEnd, ctl::MsrNoCrAtEndRadio, R, ctl::MsrDataFormatFrame},
    {&S::msrLfAtEnd, ctl::MsrNoLfAtEndRadio, R, ctl::MsrDataFormatFrame},
    {&S::msr1StartCodeOn, ctl::Msr1StartCodeCheck, C, ctl::Msr1StartCodeCheck},
    {&S::msr1EndCodeOn, ctl::Msr1EndCodeCheck, C, ctl::Msr1EndCodeCheck},
    {&S::msr2StartCodeOn, ctl::Msr2StartCodeCheck, C, ctl::Msr2StartCodeCheck},
    {&S::msr2EndCodeOn, ctl::Msr2EndCodeCheck, C, ctl::Msr2EndCodeCheck},
    {&S::msr3StartCodeOn, ctl::Msr3StartCodeCheck, C, ctl::Msr3StartCodeCheck},
    {&S::msr3EndCodeOn, ctl::Msr3EndCodeCheck, C, ctl::Msr3EndCodeCheck},
    {&S::msrErrorCodeOn, ctl::MsrErrorCodeCheck, C, ctl::MsrErrorCodeCheck},
    {&S::separator1On, ctl::MicrSeparator1Check, C, ctl::MicrSeparator1Check},
    {&S::separator2On, ctl::MicrSeparator2Check, C, ctl::MicrSeparator2Check},
    {&S::separator3On, ctl::MicrSeparator3Check, C, ctl::MicrSeparator3Check},
    {&S::separator4On, ctl::MicrSeparator4Check, C, ctl::MicrSeparator4Check},
    {&S::separator5On, ctl::MicrSeparator5Check, C, ctl::MicrSeparator5Check},
}};

// In kCodes' order.
const std::array<CodeBinding, kCodeCount> kCodeBindings = {{
    {ctl::Msr1StartCodeList, ctl::Msr1StartCodeCheck},
    {ctl::Msr1EndCodeList, ctl::Msr1EndCodeCheck},
    {ctl::Msr2StartCodeList, ctl::Msr2StartCodeCheck},
    {ctl::Msr2EndCodeList, ctl::Msr2EndCodeCheck},
    {ctl::Msr3StartCodeList, ctl::Msr3StartCodeCheck},
    {ctl::Msr3EndCodeList, ctl::Msr3EndCodeCheck},
    {ctl::MsrErrorCodeList, ctl::MsrErrorCodeCheck},
    {ctl::MicrSeparator1List, ctl::MicrSeparator1Check},
    {ctl::MicrSeparator2List, ctl::MicrSeparator2Check},
    {ctl::MicrSeparator3List, ctl::MicrSeparator3Check},
    {ctl::MicrSeparator4List, ctl::MicrSeparator4Check},
    {ctl::MicrSeparator5List, ctl::MicrSeparator5Check},
    {ctl::MicrErrorCodeList, ctl::MicrErrorCodeLabel},
}};
// clang-format on

const SettingBinding& BindingOf(const SettingRow& row) {
    return kSettingBindings[static_cast<size_t>(&row - kSettings.data())];
}

int CodeValueFromIndex(int listIndex) {
    return listIndex >= 0 && listIndex < kCodeListEntries ? listIndex + kFirstCodeByte : 0;
}

int CodeIndexFromValue(int byteValue) {
    return IsCodeByte(byteValue) ? byteValue - kFirstCodeByte : -1;
}

const CodeBinding& BindingOf(const CodeRow& row) {
    return kCodeBindings[static_cast<size_t>(&row - kCodes.data())];
}
