#pragma once

#include <string>

// The processes that hold path open, as "name (pid), ..."; empty when none
// can be seen (another user's processes are not).
std::string PortHolders(const std::string& path);
