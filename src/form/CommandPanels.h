#pragma once

#include <array>
#include <span>
#include <vector>

#include "protocol/CommandSet.h"

// The controls that choosing each command enables: the frames of its
// settings and what they hold, as the form's control table lays them out.
// Device_Type_Setup enables nothing at once; its configuration read decides.
std::span<const int> CommandPanelControls(int32_t commandType);
