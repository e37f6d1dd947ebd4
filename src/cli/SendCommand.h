#pragma once

#include <string>
#include <vector>

#include "cli/ReaderTarget.h"

// send COMMAND [KEY=VALUE...]: words[1] is the command, by its name in the
// Command Type list; the rest are its settings by file key and value name.
int RunSend(ReaderTarget& target, const std::vector<std::string>& words, bool json);
