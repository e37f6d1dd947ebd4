#pragma once

#include "cli/CliCommand.h"

// How each command runs, one file a command; the table of CliCommands names
// them. Each gives the exit status.
int RunListCommand(const CliInvocation& invocation);
int RunReadCommand(const CliInvocation& invocation);
int RunWriteCommand(const CliInvocation& invocation);
int RunVerifyCommand(const CliInvocation& invocation);
int RunSendCommand(const CliInvocation& invocation);
int RunWatchCommand(const CliInvocation& invocation);
int RunHelpCommand(const CliInvocation& invocation);
int RunCompletionCommand(const CliInvocation& invocation);
