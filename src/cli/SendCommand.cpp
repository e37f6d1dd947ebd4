// send COMMAND [KEY=VALUE...]: any other command of the command set, with
// the settings its frame carries.
#include <cstdio>

#include "cli/CliExit.h"
#include "cli/CliOutput.h"
#include "cli/CommandRuns.h"
#include "cli/ConfigCommands.h"
#include "cli/ReaderRuns.h"
#include "cli/SendKeys.h"
#include "protocol/CommandFrames.h"
#include "protocol/CommandSet.h"

namespace {

int ListSendCommands(bool json) {
    if (!json) {
        std::fputs(
            ("Commands send takes, with the settings each carries:\n" + SendCommandList()).c_str(),
            stdout);
        return kCliOk;
    }
    QJsonArray commands;
    for (int32_t i = 0; i < kCommandCount; ++i) {
        if (FindSendCommand(kCommandSet[static_cast<size_t>(i)].name) != i) {
            continue;
        }
        QJsonArray keys;
        for (const SettingRow* row : FrameSettings(i)) {
            keys.append(JsonString(row->key));
        }
        commands.append(QJsonObject{{"name", JsonString(kCommandSet[static_cast<size_t>(i)].name)},
                                    {"settings", keys}});
    }
    EmitJson({{"commands", commands}});
    return kCliOk;
}

int Send(ReaderTarget& target, int32_t type, const DeviceSettings& settings, bool json) {
    const CommandSpec& command = kCommandSet[static_cast<size_t>(type)];
    const ReaderSession::Outcome outcome = target.Session().SendCommand(type, settings);
    const int status = StatusOf(outcome, command.successText, target.Path());
    if (json) {
        EmitJson({{"device", JsonString(target.Path())},
                  {"command", JsonString(command.name)},
                  {"acknowledged", status == kCliOk},
                  {"window_status", JsonString(outcome.status)}});
    } else if (status == kCliOk) {
        Emit("%s: acknowledged\n", command.name);
    }
    return status;
}

}  // namespace

int RunSendCommand(const CliInvocation& invocation) {
    const bool json = invocation.Has("json");
    if (invocation.Has("list") || invocation.arguments.empty()) {
        if (!invocation.arguments.empty()) {
            return Fail(kCliUsage, "send --list takes no command");
        }
        return ListSendCommands(json);
    }
    const std::string& name = invocation.arguments[0];
    const int32_t type = FindSendCommand(name);
    if (type == kNoCommand) {
        return Fail(kCliUsage, "send: unknown command '" + name + "'; the commands are:\n" +
                                   SendCommandList());
    }
    DeviceSettings settings;
    const bool fromFile = invocation.Has("from");
    if (fromFile) {
        Configuration file;
        if (const int status = LoadFile(invocation.Value("from"), file); status != kCliOk) {
            return status;
        }
        settings = file.settings;
    }
    const std::vector<std::string> words(invocation.arguments.begin() + 1,
                                         invocation.arguments.end());
    if (const std::string error = TakeSendSettings(type, words, fromFile, settings);
        !error.empty()) {
        return Fail(kCliUsage, "send: " + error);
    }
    return OnReaders(invocation,
                     [&](ReaderTarget& target) { return Send(target, type, settings, json); });
}
