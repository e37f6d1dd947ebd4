// list: the USB readers and serial lines present.
#include "cli/CommandRuns.h"
#include "cli/SerialCandidates.h"

int RunListCommand(const CliInvocation& invocation) {
    return ListReadersAndLines(invocation.Has("json"));
}
