#include "cli/ConfigCommands.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "cli/CliExit.h"
#include "cli/CliOutput.h"
#include "cli/FileInput.h"
#include "config/ConfigFile.h"
#include "config/SettingsComparison.h"
#include "config/SettingsDescription.h"
#include "protocol/CommandSet.h"
#include "protocol/ConfigBlock.h"
#include "protocol/ConnectionTexts.h"

namespace {

int ReadBlock(ReaderTarget& target, ConfigBlock& block) {
    const ReaderSession::Outcome outcome = target.Session().ReadConfiguration();
    const int status = StatusOf(outcome, status::kConfigReadOk, target.Path());
    if (status != kCliOk) {
        return status;
    }
    std::copy_n(outcome.reply.begin(), kConfigBlockSize, block.begin());
    return kCliOk;
}

// 0 and the file's configuration, or the exit status.
}  // namespace

int LoadFile(const std::string& name, Configuration& configuration) {
    const InputFile input = ReadInputFile(name);
    if (!input.ok) {
        return Fail(kCliUsage, input.shown + " is refused, nothing was sent: " + input.why);
    }
    const ConfigFileResult result = ReadConfigFile(input.text);
    if (result.status != ConfigFileStatus::Ok) {
        return Fail(kCliUsage, input.shown + " is refused, nothing was sent:\n" + result.message);
    }
    configuration = result.configuration;
    return kCliOk;
}

namespace {

void PrintDifferences(const std::vector<SettingDifference>& differences, bool json) {
    if (json) {
        Emit("[");
        for (size_t i = 0; i < differences.size(); ++i) {
            const SettingDifference& d = differences[i];
            Emit("%s{\"key\": %s, \"caption\": %s, \"reader\": %s, \"file\": %s}",
                 i == 0 ? "" : ", ", JsonText(d.key).c_str(), JsonText(d.caption).c_str(),
                 JsonText(d.valueA).c_str(), JsonText(d.valueB).c_str());
        }
        Emit("]");
        return;
    }
    for (const SettingDifference& d : differences) {
        Emit("%s (%s): reader %s, file %s\n", d.caption.c_str(), d.key.c_str(), d.valueA.c_str(),
             d.valueB.c_str());
    }
}

}  // namespace

int RunRead(ReaderTarget& target, bool json) {
    ConfigBlock block{};
    if (const int status = ReadBlock(target, block); status != kCliOk) {
        return status;
    }
    const Configuration read = DecodeConfiguration(block);
    if (json) {
        Emit("%s", WriteConfigFile(read.settings, read.codes, &block).c_str());
    } else {
        Emit("reader: %s\n%s", target.Path().c_str(),
             DescribeSettings(read.settings, read.codes, block).c_str());
    }
    return kCliOk;
}

int RunVerify(ReaderTarget& target, const Configuration& file, bool json) {
    ConfigBlock block{};
    if (const int status = ReadBlock(target, block); status != kCliOk) {
        return status;
    }
    const std::vector<SettingDifference> differences =
        CompareSettings(DecodeConfiguration(block), file);
    if (json) {
        Emit("{\"device\": %s, \"same\": %s, \"differences\": ", JsonText(target.Path()).c_str(),
             differences.empty() ? "true" : "false");
        PrintDifferences(differences, true);
        Emit("}\n");
    } else if (differences.empty()) {
        Emit("%s: the reader holds the file's configuration\n", target.Path().c_str());
    } else {
        PrintDifferences(differences, false);
    }
    return differences.empty() ? kCliOk : kCliRefused;
}

int RunWrite(ReaderTarget& target, const Configuration& file, bool force, bool json) {
    ConfigBlock block{};
    if (const int status = ReadBlock(target, block); status != kCliOk) {
        return status;
    }
    const bool unchanged = CompareSettings(DecodeConfiguration(block), file).empty();
    std::string said = "unchanged";
    if (!unchanged || force) {
        const ReaderSession::Outcome outcome = target.Session().WriteConfiguration(file);
        const std::string success = kCommandSet[kDeviceTypeSetup].successText;
        if (const int status = StatusOf(outcome, success, target.Path()); status != kCliOk) {
            return status;
        }
        said = outcome.status;
    }
    ConfigBlock after{};
    if (const int status = ReadBlock(target, after); status != kCliOk) {
        return status;
    }
    const std::vector<SettingDifference> differences =
        CompareSettings(DecodeConfiguration(after), file);
    const bool changed = !unchanged || force;
    if (json) {
        Emit(
            "{\"device\": %s, \"changed\": %s, \"status\": %s, \"verified\": %s, "
            "\"differences\": ",
            JsonText(target.Path()).c_str(), changed ? "true" : "false", JsonText(said).c_str(),
            differences.empty() ? "true" : "false");
        PrintDifferences(differences, true);
        Emit("}\n");
    } else {
        Emit("%s: %s\n", target.Path().c_str(), changed ? said.c_str() : "unchanged");
        PrintDifferences(differences, false);
    }
    return differences.empty() ? kCliOk : kCliRefused;
}

// "MSR_Read_Limit", "msr-read-limit": the same command.
