#include "protocol/NameTables.h"

#include "protocol/CommandSet.h"
#include "protocol/HexText.h"

namespace {

constexpr std::array<const char*, 33> kControlNames = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",  "SP",
};

constexpr CodeName MakeCodeName(int v) {
    CodeName n{'0', 'x', HexDigit(v >> 4, true), HexDigit(v, true), ' ', ' ', ' ', ' ', '\0'};
    if (v <= 0x20) {
        const char* abbreviation = kControlNames[static_cast<size_t>(v)];
        for (int i = 0; abbreviation[i] != '\0'; ++i) {
            n[static_cast<size_t>(5 + i)] = abbreviation[i];
        }
    } else if (v < 0x7F) {
        n[5] = static_cast<char>(v);
    } else {
        n[5] = '?';
    }
    return n;
}

constexpr std::array<CodeName, 256> MakeCodeNameTable() {
    std::array<CodeName, 256> table{};
    for (int v = 0; v < 256; ++v) {
        table[static_cast<size_t>(v)] = MakeCodeName(v);
    }
    return table;
}

constexpr std::array<CodeName, 256> kCodeNames = MakeCodeNameTable();

}  // namespace

const std::array<CodeName, 256>& CodeNameTable() {
    return kCodeNames;
}

std::string_view CodeNameOf(int byteValue) {
    return {kCodeNames[static_cast<size_t>(byteValue & 0xFF)].data(), kCodeNameLength};
}

const std::array<DeviceModel, kDeviceModelCount> kDeviceModels = {{
    {"Vexmoor12", "0801", "0003", "0100"},
    {"Vexmoor21", "0471", "E001", "0001"},
    {"Tallisk", "0471", "E001", "0001"},
}};

const std::array<const char*, kConnectModeCount> kConnectModeNames = {"USB_HID_Mode",
                                                                      "Serial_9600_8_1"};

const std::array<CommandNameRow, kDeviceModelCount>& CommandNameTable() {
    // Only the current model's row is ever shown; it lists the command set.
    static const std::array<CommandNameRow, kDeviceModelCount> table = [] {
        std::array<CommandNameRow, kDeviceModelCount> t{};
        for (int i = 0; i < kCommandCount; ++i) {
            t[kCurrentDeviceIndex][static_cast<size_t>(i)] =
                kCommandSet[static_cast<size_t>(i)].name;
        }
        return t;
    }();
    return table;
}
