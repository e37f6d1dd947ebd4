#pragma once

#include <string>

#include "cli/ReaderTarget.h"
#include "protocol/Configuration.h"

// 0 and the configuration of a file ("-": standard input), or the exit
// status of a file that cannot be read or is refused.
int LoadFile(const std::string& name, Configuration& configuration);

int RunRead(ReaderTarget& target, bool json);
int RunVerify(ReaderTarget& target, const Configuration& file, bool json);
int RunWrite(ReaderTarget& target, const Configuration& file, bool force, bool json);
