#pragma once

#include <array>
#include <span>
#include <vector>

#include "CommandSet.h"

// The controls that choosing each command enables: the settings its frame
// carries. Device_Type_Setup enables nothing at once; its configuration
// read decides.
std::span<const int> CommandPanelControls(int32_t commandType);
