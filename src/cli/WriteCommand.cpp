// write FILE: the file's configuration to the reader, verified after.
#include "cli/CliExit.h"
#include "cli/CommandRuns.h"
#include "cli/ConfigCommands.h"
#include "cli/ReaderRuns.h"

int RunWriteCommand(const CliInvocation& invocation) {
    Configuration file;
    // A refused file sends nothing: it is read before the reader is opened.
    if (const int status = LoadFile(invocation.arguments[0], file); status != kCliOk) {
        return status;
    }
    const bool force = invocation.Has("force");
    const bool json = invocation.Has("json");
    return OnReaders(invocation,
                     [&](ReaderTarget& target) { return RunWrite(target, file, force, json); });
}
