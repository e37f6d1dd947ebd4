#include "cli/SendCommand.h"

#include <cctype>
#include <cstdio>

#include "cli/CliExit.h"
#include "cli/CliOutput.h"
#include "config/SettingTexts.h"
#include "protocol/CommandSet.h"

namespace {

std::string Folded(const std::string& name) {
    std::string folded;
    for (char c : name) {
        folded += c == '-' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return folded;
}

}  // namespace

int RunSend(ReaderTarget& target, const std::vector<std::string>& words, bool json) {
    int32_t type = kNoCommand;
    for (int32_t i = 0; i < kCommandCount; ++i) {
        if (Folded(kCommandSet[static_cast<size_t>(i)].name) == Folded(words[1])) {
            type = i;
        }
    }
    if (type == kNoCommand || type == kDeviceTypeSetup) {
        std::string names;
        for (int32_t i = 0; i < kCommandCount; ++i) {
            if (i != kDeviceTypeSetup) {
                names += std::string(" ") + kCommandSet[static_cast<size_t>(i)].name;
            }
        }
        return Fail(kCliUsage, "unknown command " + words[1] + "; commands:" + names +
                                   " (the configuration block: read, write)");
    }
    DeviceSettings settings;
    for (size_t w = 2; w < words.size(); ++w) {
        const std::string& word = words[w];
        const size_t eq = word.find('=');
        const std::string key = word.substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : word.substr(eq + 1);
        const SettingRow* setting = FindSetting(key);
        if (setting == nullptr) {
            return Fail(kCliUsage, "unknown setting " + key);
        }
        bool found = false;
        std::string allowed;
        for (int v = 0; v < ValueCountOf(*setting); ++v) {
            std::string name = FileValueOf(*setting, v);
            if (name.size() >= 2 && name.front() == '"') {
                name = name.substr(1, name.size() - 2);
            }
            allowed += " " + name;
            if (name == value) {
                settings.*setting->field = v;
                found = true;
            }
        }
        if (!found) {
            return Fail(kCliUsage, key + " must be one of:" + allowed);
        }
    }
    const CommandSpec& command = kCommandSet[static_cast<size_t>(type)];
    const ReaderSession::Outcome outcome = target.Session().SendCommand(type, settings);
    if (json) {
        EmitJson({{"device", JsonString(target.Path())},
                  {"command", JsonString(command.name)},
                  {"status", JsonString(outcome.status)}});
    } else {
        Emit("%s\n", outcome.status.c_str());
    }
    return StatusOf(outcome, command.successText, target.Path());
}
