#pragma once

#include <string_view>
#include <vector>

#include "protocol/SettingTable.h"

// The window's words for the settings and codes, from its control table:
// what a person reading a printout or comparing with the window sees.

// The caption of the setting's group or check box, or of the code's list.
std::string_view CaptionOf(const SettingRow& setting);
std::string_view CaptionOf(const CodeRow& code);
// The labels of the setting's radios in order; empty for a check box.
std::vector<std::string_view> RadioLabelsOf(const SettingRow& setting);
