// verify FILE: whether the reader holds the file's configuration.
#include "cli/CliExit.h"
#include "cli/CommandRuns.h"
#include "cli/ConfigCommands.h"
#include "cli/ReaderRuns.h"

int RunVerifyCommand(const CliInvocation& invocation) {
    Configuration file;
    if (const int status = LoadFile(invocation.arguments[0], file); status != kCliOk) {
        return status;
    }
    const bool json = invocation.Has("json");
    return OnReaders(invocation,
                     [&](ReaderTarget& target) { return RunVerify(target, file, json); });
}
