#pragma once

#include "cli/CliCommand.h"

// Reads tallisk-cli's command line: [GLOBAL OPTIONS] COMMAND [OPTIONS] [ARGS],
// global options also after the command and the command's before it, as
// they were always taken. A value goes as "--name VALUE" or "--name=VALUE";
// one that begins with "-" only in the second form. "--" ends the options.
// Anything wrong makes a usage error naming it: an unknown option, one the
// command does not take, one given twice, two readers named at once, an
// argument too many or too few.
CliInvocation ParseCli(int argc, const char* const* argv);
