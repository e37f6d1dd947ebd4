#include "CommandPanels.h"

namespace {

// clang-format off
const std::array<std::vector<int>, kCommandCount> kPanels = {{
    {},                                                                    // Device_Initial
    {},                                                                    // Device_Connect
    {},                                                                    // Device_Type_Setup
    {1069, 1018, 1019},                                                    // Check_Standards_Setup
    {1084, 1021, 1022, 1023, 1024, 1025, 1026},                            // MSR1_Standards_Setup
    {1085, 1028, 1029, 1030, 1031, 1032, 1033},                            // MSR2_Standards_Setup
    {1086, 1040, 1041, 1042, 1043, 1044, 1045},                            // MSR3_Standards_Setup
    {1072, 1016, 1017, 1027, 1046, 1047, 1048, 1049, 1050, 1051, 1052, 1053},  // MSR_Code_Type_setup
    {1073, 1034, 1054, 1055},                                              // MSR_Read_Limit
}};
// clang-format on

}  // namespace

std::span<const int> CommandPanelControls(int32_t commandType) {
    if (!IsCommandType(commandType)) {
        return {};
    }
    return kPanels[static_cast<size_t>(commandType)];
}
