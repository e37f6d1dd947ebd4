#pragma once

#include <string>
#include <vector>

#include "protocol/Configuration.h"

// One setting or code that two configurations hold differently.
struct SettingDifference {
    std::string key;      // the file key, "checkCode" or "msr1StartCode"
    std::string caption;  // the window's caption
    std::string valueA;   // as the window shows it, "E13B Code" or "0x25 %"
    std::string valueB;
};

// Every setting, then every code, that differs, in the form's order; empty
// when the two are the same.
std::vector<SettingDifference> CompareSettings(const Configuration& a, const Configuration& b);
