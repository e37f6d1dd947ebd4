#include "cli/CliProgram.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "channels/common/Trace.h"
#include "cli/CliArguments.h"
#include "cli/CliExit.h"
#include "cli/CliHelp.h"
#include "cli/CliOutput.h"
#include "cli/JsonReport.h"
#include "cli/SendKeys.h"
#include "commandline/ProgramVersion.h"
#include "protocol/CommandSet.h"

namespace {

int UsageError(const CliInvocation& invocation) {
    Fail(kCliUsage, invocation.error);
    std::fprintf(stderr, "%s\n", UsageLine(invocation.command).c_str());
    std::fprintf(stderr, "%s\n",
                 invocation.command != nullptr
                     ? ("More: tallisk-cli help " + std::string(invocation.command->name)).c_str()
                     : "More: tallisk-cli --help");
    return kCliUsage;
}

// -h or --help: the help of the command named, of the command send is to
// send, or of the program.
int Help(const CliInvocation& invocation) {
    const CliCommand* command = invocation.command;
    std::string text = command == nullptr ? ProgramHelp() : CommandHelp(*command);
    if (command != nullptr && std::string_view(command->name) == "send" &&
        !invocation.arguments.empty()) {
        const int32_t type = FindSendCommand(invocation.arguments[0]);
        if (type == kNoCommand) {
            return Fail(kCliUsage, "send: unknown command '" + invocation.arguments[0] +
                                       "'; the commands are:\n" + SendCommandList());
        }
        text = SendCommandHelp(type);
    }
    if (JsonOutput()) {
        EmitJson({{"help", JsonString(text)}});
    } else {
        std::fputs(text.c_str(), stdout);
    }
    return kCliOk;
}

}  // namespace

int RunCli(int argc, const char* const* argv) {
    const CliInvocation invocation = ParseCli(argc, argv);
    // A line too wrong to read still asked for JSON when it holds --json.
    const bool json =
        invocation.Has("json") || std::any_of(argv + 1, argv + argc, [](const char* arg) {
            return std::string_view(arg) == "--json";
        });
    SetJsonOutput(json);
    int status = kCliOk;
    if (!invocation.error.empty()) {
        status = UsageError(invocation);
    } else if (invocation.help) {
        status = Help(invocation);
    } else if (invocation.version) {
        if (json) {
            EmitJson({{"version", ProgramVersion()}});
        } else {
            std::printf("tallisk-cli %s\n", ProgramVersion());
        }
    } else {
        SetTraceEnabled(invocation.Has("trace"));
        status = invocation.command->run(invocation);
    }
    if (json) {
        const bool stream =
            invocation.command != nullptr && std::string_view(invocation.command->name) == "watch";
        std::fputs(JsonReport::Current().Finish(status, stream).c_str(), stdout);
    }
    return status;
}
