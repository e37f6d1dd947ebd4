#include "protocol/CommandSet.h"

// clang-format off
const std::array<CommandSpec, kCommandCount> kCommandSet = {{
    {"Device_Initial", "Status: Recover The Devive To Initial State", "Status: Devive Initial Ok!",
     'U', 0},
    {"Device_Connect", "Status: Connect With Device", "Status: Connect To Device!", 'e', 0},
    {"Device_Type_Setup", "Status: Setup Device Type", "Status: Device Tpye Setup Ok!",
     kDeviceTypeLetter, '0'},
    {"Check_Standards_Setup", "Status: Setup Check Standards", "Status: Check Standards Setup Ok!",
     'B', '0'},
    {"MSR1_Standards_Setup", "Status: Setup MSR1 Standards", "Status: MSR1 Standards Setup Ok!",
     'C', '0'},
    {"MSR2_Standards_Setup", "Status: Setup MSR2 Standards", "Status: MSR2 Standards Setup Ok!",
     'D', '0'},
    {"MSR3_Standards_Setup", "Status: Setup MSR3 Standards", "Status: MSR3 Standards Setup Ok!",
     'E', '0'},
    // The code types travel as a plain number, two bits per track.
    {"MSR_Code_Type_setup", "Status: Setup MSR Code Type", "Status: MSR Code Type Setup Ok!", 'F',
     0},
    {"MSR_Read_Limit", "Status: Setup MSR Read Limit", "Status: MSR Read Limit Setup Ok!", 'G',
     '0'},
}};
// clang-format on

bool IsCommandType(int32_t type) {
    return type >= 0 && type < kCommandCount;
}
