#pragma once

#include <string>

// The processes that hold path, as "name (pid), ...": those that lock it,
// else those that have it open. Empty when none can be seen (another user's
// open files are not, unless they are locked).
std::string PortHolders(const std::string& path);
