#include "config/SettingNames.h"

#include <algorithm>

#include "protocol/ControlIds.h"
#include "protocol/SettingsExchange.h"
#include "ui/ControlTable.h"

namespace {

using S = DeviceSettings;

constexpr std::array<const char*, 8> kDeviceTypes = {"CUSTOM", "MICR_READER", "KELVRA", "DORRIN",
                                                     "WEXLEY", "LOMARD",      "FENNIC", "ZORVANE"};
constexpr std::array<const char*, 2> kCheckCodes = {"E13B", "CMC7"};
constexpr std::array<const char*, 3> kCodeTypes = {"ABA1", "ABA2", "IATA"};
constexpr std::array<const char*, 6> kStandards = {"ISO", "IBMF", "IBMC", "BC", "BFC", "DIN"};
constexpr std::array<const char*, 2> kErrorReturn = {"NOT_RETURN_WHEN_ERR", "ALL_DATA_RETURN"};
constexpr std::array<const char*, 2> kSpaceHandle = {"NO_SPACE_HANDLE", "WITH_SPACE_HANDLE"};
constexpr std::array<const char*, 2> kStx = {"NO_STX", "STX"};
constexpr std::array<const char*, 2> kEsc = {"NO_ESC", "ESC"};
constexpr std::array<const char*, 2> kEtx = {"NO_ETX", "ETX"};
constexpr std::array<const char*, 2> kCr = {"NO_CR", "CR"};
constexpr std::array<const char*, 2> kLf = {"NO_LF", "LF"};
constexpr std::span<const char* const> kCheckBox;
constexpr bool kInBlock = true;
constexpr bool kNotInBlock = false;

}  // namespace

// clang-format off
const std::array<NamedSetting, kSettingCount> kNamedSettings = {{
    {&S::deviceType,       "deviceType",       ctl::DeviceTypeFrame,      kDeviceTypes, kNotInBlock},
    {&S::checkCode,        "checkCode",        ctl::CheckCodeFrame,       kCheckCodes,  kInBlock},
    {&S::msr1CodeType,     "msr1CodeType",     ctl::Msr1CodeFrame,        kCodeTypes,   kInBlock},
    {&S::msr2CodeType,     "msr2CodeType",     ctl::Msr2CodeFrame,        kCodeTypes,   kInBlock},
    {&S::msr3CodeType,     "msr3CodeType",     ctl::Msr3CodeFrame,        kCodeTypes,   kInBlock},
    {&S::track1Limit,      "track1Limit",      ctl::Track1LimitCheck,     kCheckBox,    kInBlock},
    {&S::track2Limit,      "track2Limit",      ctl::Track2LimitCheck,     kCheckBox,    kInBlock},
    {&S::track3Limit,      "track3Limit",      ctl::Track3LimitCheck,     kCheckBox,    kInBlock},
    {&S::msr1Standard,     "msr1Standard",     ctl::Msr1StandardsFrame,   kStandards,   kInBlock},
    {&S::msr2Standard,     "msr2Standard",     ctl::Msr2StandardsFrame,   kStandards,   kInBlock},
    {&S::msr3Standard,     "msr3Standard",     ctl::Msr3StandardsFrame,   kStandards,   kInBlock},
    {&S::checkErrorReturn, "checkErrorReturn", ctl::CheckDataFormatFrame, kErrorReturn, kInBlock},
    {&S::checkSpaceHandle, "checkSpaceHandle", ctl::CheckDataFormatFrame, kSpaceHandle, kInBlock},
    {&S::checkStxAtHead,   "checkStxAtHead",   ctl::CheckDataFormatFrame, kStx,         kInBlock},
    {&S::checkEscAtHead,   "checkEscAtHead",   ctl::CheckDataFormatFrame, kEsc,         kInBlock},
    {&S::checkEtxAtEnd,    "checkEtxAtEnd",    ctl::CheckDataFormatFrame, kEtx,         kInBlock},
    {&S::checkCrAtEnd,     "checkCrAtEnd",     ctl::CheckDataFormatFrame, kCr,          kInBlock},
    {&S::checkLfAtEnd,     "checkLfAtEnd",     ctl::CheckDataFormatFrame, kLf,          kInBlock},
    {&S::msrErrorReturn,   "msrErrorReturn",   ctl::MsrDataFormatFrame,   kErrorReturn, kInBlock},
    {&S::msrStxAtHead,     "msrStxAtHead",     ctl::MsrDataFormatFrame,   kStx,         kInBlock},
    {&S::msrEscAtHead,     "msrEscAtHead",     ctl::MsrDataFormatFrame,   kEsc,         kInBlock},
    {&S::msrEtxAtEnd,      "msrEtxAtEnd",      ctl::MsrDataFormatFrame,   kEtx,         kInBlock},
    {&S::msrCrAtEnd,       "msrCrAtEnd",       ctl::MsrDataFormatFrame,   kCr,          kInBlock},
    {&S::msrLfAtEnd,       "msrLfAtEnd",       ctl::MsrDataFormatFrame,   kLf,          kInBlock},
    {&S::msr1StartCodeOn,  "msr1StartCodeOn",  ctl::Msr1StartCodeCheck,   kCheckBox,    kInBlock},
    {&S::msr1EndCodeOn,    "msr1EndCodeOn",    ctl::Msr1EndCodeCheck,     kCheckBox,    kInBlock},
    {&S::msr2StartCodeOn,  "msr2StartCodeOn",  ctl::Msr2StartCodeCheck,   kCheckBox,    kInBlock},
    {&S::msr2EndCodeOn,    "msr2EndCodeOn",    ctl::Msr2EndCodeCheck,     kCheckBox,    kInBlock},
    {&S::msr3StartCodeOn,  "msr3StartCodeOn",  ctl::Msr3StartCodeCheck,   kCheckBox,    kInBlock},
    {&S::msr3EndCodeOn,    "msr3EndCodeOn",    ctl::Msr3EndCodeCheck,     kCheckBox,    kInBlock},
    {&S::msrErrorCodeOn,   "msrErrorCodeOn",   ctl::MsrErrorCodeCheck,    kCheckBox,    kInBlock},
    {&S::separator1On,     "micrSeparator1On", ctl::MicrSeparator1Check,  kCheckBox,    kInBlock},
    {&S::separator2On,     "micrSeparator2On", ctl::MicrSeparator2Check,  kCheckBox,    kInBlock},
    {&S::separator3On,     "micrSeparator3On", ctl::MicrSeparator3Check,  kCheckBox,    kInBlock},
    {&S::separator4On,     "micrSeparator4On", ctl::MicrSeparator4Check,  kCheckBox,    kInBlock},
    {&S::separator5On,     "micrSeparator5On", ctl::MicrSeparator5Check,  kCheckBox,    kInBlock},
}};

const std::array<NamedCode, kCodeListCount> kNamedCodes = {{
    {ctl::Msr1StartCodeList,  "msr1StartCode",  ctl::Msr1StartCodeCheck},
    {ctl::Msr1EndCodeList,    "msr1EndCode",    ctl::Msr1EndCodeCheck},
    {ctl::Msr2StartCodeList,  "msr2StartCode",  ctl::Msr2StartCodeCheck},
    {ctl::Msr2EndCodeList,    "msr2EndCode",    ctl::Msr2EndCodeCheck},
    {ctl::Msr3StartCodeList,  "msr3StartCode",  ctl::Msr3StartCodeCheck},
    {ctl::Msr3EndCodeList,    "msr3EndCode",    ctl::Msr3EndCodeCheck},
    {ctl::MsrErrorCodeList,   "msrErrorCode",   ctl::MsrErrorCodeCheck},
    {ctl::MicrSeparator1List, "micrSeparator1", ctl::MicrSeparator1Check},
    {ctl::MicrSeparator2List, "micrSeparator2", ctl::MicrSeparator2Check},
    {ctl::MicrSeparator3List, "micrSeparator3", ctl::MicrSeparator3Check},
    {ctl::MicrSeparator4List, "micrSeparator4", ctl::MicrSeparator4Check},
    {ctl::MicrSeparator5List, "micrSeparator5", ctl::MicrSeparator5Check},
    {ctl::MicrErrorCodeList,  "micrErrorCode",  ctl::MicrErrorCodeLabel},
}};
// clang-format on

namespace {

std::string_view LabelOf(int id) {
    const ControlSpec* control = FindControl(id);
    return control == nullptr ? std::string_view{} : std::string_view{control->label};
}

}  // namespace

const SettingBinding& SettingBindingOf(const NamedSetting& setting) {
    return *std::find_if(kSettingBindings.begin(), kSettingBindings.end(),
                         [&setting](const SettingBinding& b) { return b.field == setting.field; });
}

bool IsCheckBox(const NamedSetting& setting) {
    return SettingBindingOf(setting).kind == BindingKind::CheckBox;
}

bool IsChoice(const NamedSetting& setting, int value) {
    return value >= 0 && value < SettingBindingOf(setting).valueCount;
}

std::string_view CaptionOf(const NamedSetting& setting) {
    return LabelOf(setting.captionId);
}

std::string_view CaptionOf(const NamedCode& code) {
    return LabelOf(code.captionId);
}

std::vector<std::string_view> RadioLabelsOf(const NamedSetting& setting) {
    std::vector<std::string_view> labels;
    const SettingBinding& binding = SettingBindingOf(setting);
    if (binding.kind != BindingKind::RadioGroup) {
        return labels;
    }
    for (int id : RadioGroupMembers(MainFormOrder(), binding.controlId)) {
        labels.push_back(LabelOf(id));
    }
    return labels;
}

size_t CodeSlotOf(const NamedCode& code) {
    const auto it = std::find_if(kCodeBindings.begin(), kCodeBindings.end(),
                                 [&code](const CodeBinding& b) { return b.listId == code.listId; });
    return static_cast<size_t>(it - kCodeBindings.begin());
}
