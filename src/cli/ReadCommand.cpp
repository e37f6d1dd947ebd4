// read: the reader's configuration, as text or as a configuration file.
#include "cli/CommandRuns.h"
#include "cli/ConfigCommands.h"
#include "cli/ReaderRuns.h"

int RunReadCommand(const CliInvocation& invocation) {
    const bool json = invocation.Has("json");
    return OnReaders(invocation, [json](ReaderTarget& target) { return RunRead(target, json); });
}
