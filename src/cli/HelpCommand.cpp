// help [COMMAND]: the program's help, or one command's.
#include <cstdio>

#include "cli/CliExit.h"
#include "cli/CliHelp.h"
#include "cli/CliOutput.h"
#include "cli/CommandRuns.h"

int RunHelpCommand(const CliInvocation& invocation) {
    const CliCommand* command =
        invocation.arguments.empty() ? nullptr : FindCliCommand(invocation.arguments[0]);
    if (!invocation.arguments.empty() && command == nullptr) {
        return Fail(kCliUsage, "help: unknown command '" + invocation.arguments[0] + "'");
    }
    const std::string text = command == nullptr ? ProgramHelp() : CommandHelp(*command);
    if (JsonOutput()) {
        EmitJson({{"help", JsonString(text)}});
    } else {
        std::fputs(text.c_str(), stdout);
    }
    return kCliOk;
}
