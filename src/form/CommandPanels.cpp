#include "form/CommandPanels.h"

#include "form/ControlIds.h"
#include "form/ControlTable.h"

namespace {

// The frames of each command's settings; the panel is the frames and what
// they hold.
// clang-format off
const std::array<std::vector<int>, kCommandCount> kPanelFrames = {{
    {},                                                           // Device_Initial
    {},                                                           // Device_Connect
    {},                                                           // Device_Type_Setup
    {ctl::CheckCodeFrame},                                        // Check_Standards_Setup
    {ctl::Msr1StandardsFrame},                                    // MSR1_Standards_Setup
    {ctl::Msr2StandardsFrame},                                    // MSR2_Standards_Setup
    {ctl::Msr3StandardsFrame},                                    // MSR3_Standards_Setup
    {ctl::Msr1CodeFrame, ctl::Msr2CodeFrame, ctl::Msr3CodeFrame}, // MSR_Code_Type_setup
    {ctl::MsrReadLimitFrame},                                     // MSR_Read_Limit
}};
// clang-format on

}  // namespace

std::span<const int> CommandPanelControls(int32_t commandType) {
    static const std::array<std::vector<int>, kCommandCount> panels = [] {
        std::array<std::vector<int>, kCommandCount> p;
        for (size_t i = 0; i < p.size(); ++i) {
            p[i] = FramesWithContents(kPanelFrames[i]);
        }
        return p;
    }();
    if (!IsCommandType(commandType)) {
        return {};
    }
    return panels[static_cast<size_t>(commandType)];
}
