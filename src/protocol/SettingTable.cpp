#include "protocol/SettingTable.h"

#include <algorithm>

#include "protocol/CommandSet.h"

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
constexpr std::array<const char*, 2> kEscape = {"NO_ESC", "ESC"};
constexpr std::array<const char*, 2> kEtx = {"NO_ETX", "ETX"};
constexpr std::array<const char*, 2> kCr = {"NO_CR", "CR"};
constexpr std::array<const char*, 2> kLf = {"NO_LF", "LF"};
constexpr std::span<const char* const> kOnOff;

constexpr BlockPlace Bits(int byte, int shift, int width = 1) {
    return {byte, shift, width, false, false};
}
constexpr BlockPlace OffFlag(int byte, int shift) {
    return {byte, shift, 1, true, false};
}
constexpr BlockPlace kDigit{0, 0, 8, false, true};
constexpr int32_t kBlockOnly = kNoCommand;

}  // namespace

// clang-format off
const std::array<SettingRow, kSettingCount> kSettings = {{
    {&S::deviceType,       "deviceType",       kDeviceTypes, kDigit,          kDeviceTypeSetup,    1},
    {&S::checkCode,        "checkCode",        kCheckCodes,  Bits(1, 7),      kCheckStandardsSetup, 1},
    {&S::msr1CodeType,     "msr1CodeType",     kCodeTypes,   Bits(8, 4, 2),   kMsrCodeTypeSetup,   1},
    {&S::msr2CodeType,     "msr2CodeType",     kCodeTypes,   Bits(9, 4, 2),   kMsrCodeTypeSetup,   4},
    {&S::msr3CodeType,     "msr3CodeType",     kCodeTypes,   Bits(10, 4, 2),  kMsrCodeTypeSetup,   16},
    {&S::track1Limit,      "track1Limit",      kOnOff,       Bits(11, 0),     kMsrReadLimit,       1},
    {&S::track2Limit,      "track2Limit",      kOnOff,       Bits(11, 1),     kMsrReadLimit,       2},
    {&S::track3Limit,      "track3Limit",      kOnOff,       Bits(11, 2),     kMsrReadLimit,       4},
    {&S::msr1Standard,     "msr1Standard",     kStandards,   Bits(8, 0, 3),   kMsr1StandardsSetup, 1},
    {&S::msr2Standard,     "msr2Standard",     kStandards,   Bits(9, 0, 3),   kMsr2StandardsSetup, 1},
    {&S::msr3Standard,     "msr3Standard",     kStandards,   Bits(10, 0, 3),  kMsr3StandardsSetup, 1},
    {&S::checkErrorReturn, "checkErrorReturn", kErrorReturn, Bits(1, 6),      kBlockOnly, 0},
    {&S::checkSpaceHandle, "checkSpaceHandle", kSpaceHandle, Bits(1, 5),      kBlockOnly, 0},
    {&S::checkStxAtHead,   "checkStxAtHead",   kStx,         Bits(1, 4),      kBlockOnly, 0},
    {&S::checkEscAtHead,   "checkEscAtHead",   kEscape,      Bits(1, 3),      kBlockOnly, 0},
    {&S::checkEtxAtEnd,    "checkEtxAtEnd",    kEtx,         Bits(1, 2),      kBlockOnly, 0},
    {&S::checkCrAtEnd,     "checkCrAtEnd",     kCr,          Bits(1, 1),      kBlockOnly, 0},
    {&S::checkLfAtEnd,     "checkLfAtEnd",     kLf,          Bits(1, 0),      kBlockOnly, 0},
    {&S::msrErrorReturn,   "msrErrorReturn",   kErrorReturn, Bits(16, 5),     kBlockOnly, 0},
    {&S::msrStxAtHead,     "msrStxAtHead",     kStx,         Bits(16, 4),     kBlockOnly, 0},
    {&S::msrEscAtHead,     "msrEscAtHead",     kEscape,      Bits(16, 3),     kBlockOnly, 0},
    {&S::msrEtxAtEnd,      "msrEtxAtEnd",      kEtx,         Bits(16, 2),     kBlockOnly, 0},
    {&S::msrCrAtEnd,       "msrCrAtEnd",       kCr,          Bits(16, 1),     kBlockOnly, 0},
    {&S::msrLfAtEnd,       "msrLfAtEnd",       kLf,          Bits(16, 0),     kBlockOnly, 0},
    {&S::msr1StartCodeOn,  "msr1StartCodeOn",  kOnOff,       Bits(17, 0),     kBlockOnly, 0},
    {&S::msr1EndCodeOn,    "msr1EndCodeOn",    kOnOff,       Bits(17, 1),     kBlockOnly, 0},
    {&S::msr2StartCodeOn,  "msr2StartCodeOn",  kOnOff,       Bits(17, 2),     kBlockOnly, 0},
    {&S::msr2EndCodeOn,    "msr2EndCodeOn",    kOnOff,       Bits(17, 3),     kBlockOnly, 0},
    {&S::msr3StartCodeOn,  "msr3StartCodeOn",  kOnOff,       Bits(17, 4),     kBlockOnly, 0},
    {&S::msr3EndCodeOn,    "msr3EndCodeOn",    kOnOff,       Bits(17, 5),     kBlockOnly, 0},
    {&S::msrErrorCodeOn,   "msrErrorCodeOn",   kOnOff,       OffFlag(13, 7),  kBlockOnly, 0},
    {&S::separator1On,     "micrSeparator1On", kOnOff,       OffFlag(13, 0),  kBlockOnly, 0},
    {&S::separator2On,     "micrSeparator2On", kOnOff,       OffFlag(13, 1),  kBlockOnly, 0},
    {&S::separator3On,     "micrSeparator3On", kOnOff,       OffFlag(13, 2),  kBlockOnly, 0},
    {&S::separator4On,     "micrSeparator4On", kOnOff,       OffFlag(13, 3),  kBlockOnly, 0},
    {&S::separator5On,     "micrSeparator5On", kOnOff,       OffFlag(13, 4),  kBlockOnly, 0},
}};

const std::array<CodeRow, kCodeCount> kCodes = {{
    {"msr1StartCode",  18, &S::msr1StartCodeOn},
    {"msr1EndCode",    19, &S::msr1EndCodeOn},
    {"msr2StartCode",  20, &S::msr2StartCodeOn},
    {"msr2EndCode",    21, &S::msr2EndCodeOn},
    {"msr3StartCode",  22, &S::msr3StartCodeOn},
    {"msr3EndCode",    23, &S::msr3EndCodeOn},
    {"msrErrorCode",   12, &S::msrErrorCodeOn},
    {"micrSeparator1", 2,  &S::separator1On},
    {"micrSeparator2", 3,  &S::separator2On},
    {"micrSeparator3", 4,  &S::separator3On},
    {"micrSeparator4", 5,  &S::separator4On},
    {"micrSeparator5", 6,  &S::separator5On},
    {"micrErrorCode",  7,  nullptr},
}};
// clang-format on

int ValueCountOf(const SettingRow& row) {
    return IsOnOff(row) ? 2 : static_cast<int>(row.valueNames.size());
}

bool IsOnOff(const SettingRow& row) {
    return row.valueNames.empty();
}

bool IsChoice(const SettingRow& row, int value) {
    return value >= 0 && value < ValueCountOf(row);
}

const SettingRow& RowOf(int32_t DeviceSettings::*field) {
    return *std::find_if(kSettings.begin(), kSettings.end(),
                         [field](const SettingRow& r) { return r.field == field; });
}

const SettingRow* FindSetting(std::string_view key) {
    const auto it = std::find_if(kSettings.begin(), kSettings.end(),
                                 [key](const SettingRow& r) { return key == r.key; });
    return it == kSettings.end() ? nullptr : &*it;
}

const CodeRow* FindCode(std::string_view key) {
    const auto it = std::find_if(kCodes.begin(), kCodes.end(),
                                 [key](const CodeRow& r) { return key == r.key; });
    return it == kCodes.end() ? nullptr : &*it;
}

bool IsCodeByte(int byte) {
    return byte >= kFirstCodeByte && byte <= kLastCodeByte;
}
