#include "cli/ConfigCommands.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "cli/CliExit.h"
#include "cli/CliOutput.h"
#include "cli/FileInput.h"
#include "cli/JsonReport.h"
#include "config/ConfigFile.h"
#include "config/SettingTexts.h"
#include "config/SettingsComparison.h"
#include "config/SettingsDescription.h"
#include "protocol/CommandSet.h"
#include "protocol/ConfigBlock.h"
#include "protocol/ConnectionTexts.h"
#include "protocol/HexText.h"
#include "protocol/StatusTexts.h"

namespace {

// A write says itself how far it got when a signal ends it (sayInterrupted
// false); read and verify let the outcome say it.
int ReadBlock(ReaderTarget& target, ConfigBlock& block, bool sayInterrupted = true) {
    const ReaderSession::Outcome outcome = target.Session().ReadConfiguration();
    if (outcome.interrupted != 0 && !sayInterrupted) {
        return EndSignals::ExitStatusOf(outcome.interrupted);
    }
    const bool complete = outcome.answered && outcome.result == kExchangeOk &&
                          outcome.reply.size() >= kConfigBlockSize;
    if (complete && outcome.status == status::kConfigReadFailed) {
        // An answer of the right length that is no configuration the
        // reader can hold: another program's acknowledgement, a stale or
        // garbled reply. Nothing is built on it.
        return Fail(kCliRefused, target.Path() +
                                     ": the reader's answer is not a configuration, so it is "
                                     "not believed: " +
                                     HexBytes(outcome.reply));
    }
    if (outcome.answered && outcome.result == kExchangeOk &&
        outcome.reply.size() < kConfigBlockSize) {
        // Too short to be anything: not the reader's word against it.
        return Fail(kCliNoAnswer,
                    target.Path() + ": the reader's answer was cut short (" +
                        std::to_string(outcome.reply.size()) + " of " +
                        std::to_string(kConfigBlockSize) + " bytes" +
                        (outcome.reply.empty() ? "" : ": " + HexBytes(outcome.reply)) + ")");
    }
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

QJsonArray DifferencesJson(const std::vector<SettingDifference>& differences) {
    QJsonArray array;
    for (const SettingDifference& d : differences) {
        array.append(QJsonObject{{"key", JsonString(d.key)},
                                 {"caption", JsonString(d.caption)},
                                 {"reader", JsonString(d.valueA)},
                                 {"file", JsonString(d.valueB)}});
    }
    return array;
}

void PrintDifferences(const std::vector<SettingDifference>& differences) {
    for (const SettingDifference& d : differences) {
        Emit("%s (%s): reader %s, file %s\n", d.caption.c_str(), d.key.c_str(), d.valueA.c_str(),
             d.valueB.c_str());
    }
}

// The exit status of a reader that differs from the file, said in a line.
int Differs(const ReaderTarget& target, const std::vector<SettingDifference>& differences) {
    return Fail(kCliRefused, target.Path() +
                                 ": the reader's configuration differs from the file in " +
                                 std::to_string(differences.size()) +
                                 (differences.size() == 1 ? " setting" : " settings"));
}

}  // namespace

int RunRead(ReaderTarget& target, bool json) {
    ConfigBlock block{};
    if (const int status = ReadBlock(target, block); status != kCliOk) {
        return status;
    }
    const Configuration read = DecodeConfiguration(block);
    if (json) {
        JsonReport::Current().SetConfigurationFile(
            WriteConfigFile(read.settings, read.codes, &block));
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
        EmitJson({{"device", JsonString(target.Path())},
                  {"same", differences.empty()},
                  {"differences", DifferencesJson(differences)}});
    } else if (differences.empty()) {
        Emit("%s: the reader holds the file's configuration\n", target.Path().c_str());
    } else {
        PrintDifferences(differences);
    }
    return differences.empty() ? kCliOk : Differs(target, differences);
}

namespace {

// How far a write got, for what it says when a signal ends it.
struct WriteProgress {
    bool changing = false;  // the configuration is to be sent
    bool sent = false;
    bool acknowledged = false;
};

int SayInterrupted(const ReaderTarget& target, const WriteProgress& progress, bool json) {
    const int signal = ReaderSession::Interrupted();
    std::string what = "nothing was written";
    if (progress.acknowledged) {
        what = "the configuration was written; it was not verified";
    } else if (progress.sent) {
        what = "the configuration was sent but not acknowledged: the reader may hold it";
    }
    if (json) {
        EmitJson({{"device", JsonString(target.Path())},
                  {"interrupted", JsonString(EndSignals::NameOf(signal))},
                  {"changed", progress.changing},
                  {"sent", progress.sent},
                  {"acknowledged", progress.acknowledged},
                  {"verified", false}});
    }
    return Fail(EndSignals::ExitStatusOf(signal),
                target.Path() + ": interrupted by " + EndSignals::NameOf(signal) + ": " + what);
}

// The settings that differ, and the block as a whole when the settings
// agree but the bytes do not (bytes 14 and 15, which no setting names).
std::vector<SettingDifference> VerifyWrite(const ConfigBlock& after,
                                           const std::optional<ConfigBlock>& expected,
                                           const Configuration& file) {
    std::vector<SettingDifference> differences = CompareSettings(DecodeConfiguration(after), file);
    if (differences.empty() && expected && after != *expected) {
        differences.push_back(
            {"block", "Configuration block", HexBytes(after), HexBytes(*expected)});
    }
    return differences;
}

// A named device type goes to the reader alone, as ESC 'A' and its digit:
// a file that names one and holds other settings than the reader's cannot
// be written as it stands, and nothing is sent.
int RefuseWhatANamedTypeCannotCarry(const ReaderTarget& target, const Configuration& file,
                                    const std::vector<SettingDifference>& changes) {
    const int type = file.settings.deviceType;
    if (type == 0) {
        return kCliOk;
    }
    std::string others;
    for (const SettingDifference& d : changes) {
        if (d.key != "deviceType") {
            others +=
                "\n  " + d.caption + " (" + d.key + "): reader " + d.valueA + ", file " + d.valueB;
        }
    }
    if (others.empty()) {
        return kCliOk;
    }
    const char* name = RowOf(&DeviceSettings::deviceType).valueNames[static_cast<size_t>(type)];
    return Fail(kCliUsage,
                target.Path() + ": nothing was sent: the file's device type " + name +
                    " is set on its own (ESC 'A'), and it cannot carry the file's "
                    "other settings, which differ from the reader's:" +
                    others,
                "set deviceType to CUSTOM in the file to write every setting, or make the "
                "others the reader's");
}

}  // namespace

int RunWrite(ReaderTarget& target, const Configuration& file, bool force, bool json) {
    WriteProgress progress;
    ConfigBlock before{};
    if (const int status = ReadBlock(target, before, false); status != kCliOk) {
        return ReaderSession::Interrupted() != 0 ? SayInterrupted(target, progress, json) : status;
    }
    const std::vector<SettingDifference> changes =
        CompareSettings(DecodeConfiguration(before), file);
    if (const int status = RefuseWhatANamedTypeCannotCarry(target, file, changes);
        status != kCliOk) {
        return status;
    }
    const bool unchanged = changes.empty();
    progress.changing = !unchanged || force;
    // What the reader holds once the write is done: the block sent, or the
    // one it had (a named device type goes as ESC 'A' alone, and only its
    // settings can be checked).
    std::optional<ConfigBlock> expected = before;
    std::string said = "unchanged";
    if (progress.changing && ReaderSession::Interrupted() == 0) {
        // Bytes 14 and 15, which no setting covers, go back as just read.
        Configuration sent = file;
        sent.reserved = DecodeConfiguration(before).reserved;
        const ReaderSession::Outcome outcome = target.Session().WriteConfiguration(sent);
        const std::string success = kCommandSet[kDeviceTypeSetup].successText;
        progress.sent = outcome.sent;
        progress.acknowledged = outcome.answered && outcome.status == success;
        if (outcome.interrupted != 0) {
            return SayInterrupted(target, progress, json);
        }
        if (const int status = StatusOf(outcome, success, target.Path()); status != kCliOk) {
            return status;
        }
        expected.reset();
        if (outcome.frame.size() == 2 + kConfigBlockSize) {
            expected.emplace();
            std::copy_n(outcome.frame.begin() + 2, kConfigBlockSize, expected->begin());
        }
        said = outcome.status;
    }
    // Nothing sent: the read before is what the reader holds, and one read
    // is enough to verify it.
    ConfigBlock after = before;
    if (ReaderSession::Interrupted() != 0) {
        return SayInterrupted(target, progress, json);
    }
    if (progress.changing) {
        if (const int status = ReadBlock(target, after, false); status != kCliOk) {
            return ReaderSession::Interrupted() != 0 ? SayInterrupted(target, progress, json)
                                                     : status;
        }
    }
    const std::vector<SettingDifference> differences = VerifyWrite(after, expected, file);
    if (json) {
        QJsonObject document{{"device", JsonString(target.Path())},
                             {"changed", progress.changing},
                             {"verified", differences.empty()},
                             {"differences", DifferencesJson(differences)}};
        if (progress.changing) {
            document.insert("window_status", JsonString(said));
        }
        EmitJson(document);
    } else {
        Emit("%s: %s\n", target.Path().c_str(),
             !progress.changing    ? "unchanged: the reader holds the file's configuration"
             : differences.empty() ? "written and verified"
                                   : "written, but the reader then differs from the file:");
        PrintDifferences(differences);
    }
    return differences.empty() ? kCliOk : Differs(target, differences);
}

// "MSR_Read_Limit", "msr-read-limit": the same command.
