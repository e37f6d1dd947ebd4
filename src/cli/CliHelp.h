#pragma once

#include <cstdint>
#include <string>

#include "cli/CliCommand.h"

// The help of tallisk-cli: the program's (its commands and global options),
// one command's (its usage, options and examples), and that of each command
// send takes (the settings its frame carries, their values, an example).
std::string ProgramHelp();
std::string CommandHelp(const CliCommand& command);
std::string SendCommandHelp(int32_t commandType);
// The short usage line a usage error ends with.
std::string UsageLine(const CliCommand* command);

inline constexpr const char* kExitStatusText =
    "Exit status: 0 success, 1 the reader refused, its answer is not a configuration or verify "
    "found differences, 64 a wrong command line or a refused file (nothing sent), 69 no reader, "
    "it cannot be opened or another program holds it, 74 no answer, an answer cut short, "
    "nothing sent, the reader went away or watch cannot write its output, 128 + the signal "
    "when SIGINT, SIGTERM or SIGHUP ended a command (watch ends with 0).";
