#include "cli/CliProgram.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "channels/presence/DeviceWatch.h"
#include "cli/CliExit.h"
#include "cli/HidSelection.h"
#include "cli/ReaderSession.h"
#include "cli/SerialCandidates.h"
#include "commandline/CommandLine.h"
#include "config/ConfigFile.h"
#include "config/Configuration.h"
#include "config/SettingNames.h"
#include "config/SettingTexts.h"
#include "config/SettingsComparison.h"
#include "config/SettingsDescription.h"
#include "protocol/CommandSet.h"
#include "protocol/ConfigBlock.h"

namespace {

constexpr std::array<OptionSpec, 5> kOptions{{
    {"device", "PATH", "the USB reader on this hidraw node (default: the one reader present)"},
    {"serial", "PATH", "the reader on this serial line instead of USB (9600 8N1)"},
    {"json", nullptr, "print a JSON document instead of text"},
    {"force", nullptr, "write: send the configuration even when the reader already holds it"},
    {"trace", nullptr, "reserved: every frame and report on standard error"},
}};

constexpr ProgramSpec kProgram{
    "tallisk-cli",
    "Configures and tests a cheque reader without a window.\n"
    "Commands:\n"
    "  list                   the USB readers and serial lines present\n"
    "  read                   the reader's configuration, as named settings and raw bytes\n"
    "  write FILE|-           write a configuration file (read first, verified after)\n"
    "  verify FILE|-          compare the reader's configuration with a file\n"
    "  send COMMAND [KEY=VALUE...]  any other command, its settings by name",
    kOptions,
    "Exit status: 0 success, 1 the reader said no or verify differs, 64 usage error or a "
    "refused file, 69 no reader or it cannot be opened, 74 no answer.",
};

// The options and the words that are not options, apart.
struct Arguments {
    CommandLine line;
    std::vector<std::string> words;
};

Arguments Split(int argc, const char* const* argv) {
    std::vector<const char*> options = {argv[0]};
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) {
            args.words.push_back(arg);
            continue;
        }
        options.push_back(argv[i]);
        const std::string name = arg.substr(2, arg.find('=') - 2);
        for (const OptionSpec& spec : kOptions) {
            if (name == spec.name && spec.valueName != nullptr &&
                arg.find('=') == std::string::npos && i + 1 < argc) {
                options.push_back(argv[++i]);
            }
        }
    }
    args.line = ParseCommandLine(kOptions, static_cast<int>(options.size()), options.data());
    return args;
}

int Fail(int status, const std::string& text) {
    std::fprintf(stderr, "tallisk-cli: %s\n", text.c_str());
    return status;
}

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// The reader the command works on, opened.
class Target {
  public:
    explicit Target(const CommandLine& line) : line_(line) {}

    // 0 when open, else the exit status (and why, on standard error).
    int Open() {
        if (line_.Has("serial")) {
            path_ = line_.Value("serial");
            ::setenv("TALLISK_COM1", path_.c_str(), 1);
            session_ = std::make_unique<ReaderSession>(nullptr, MakeUdevDeviceWatch());
            if (!session_->Open(kSerialMode)) {
                return Fail(kCliNoReader, path_ + ": the serial line could not be opened (" +
                                              session_->Status() + ")" + SerialOpenAdvice(path_));
            }
            return 0;
        }
        std::unique_ptr<HidPlatform> platform = MakeLinuxHidPlatform();
        if (!platform) {
            return Fail(kCliNoReader, "the HID library could not be started");
        }
        if (line_.Has("device")) {
            path_ = line_.Value("device");
        } else {
            const std::vector<HidDeviceInfo> readers = ListReaders(*platform);
            if (readers.empty()) {
                return Fail(kCliNoReader, "no reader found on USB (is it plugged in?)");
            }
            if (readers.size() > 1) {
                std::string text = "more than one reader: choose one with --device";
                for (const HidDeviceInfo& r : readers) {
                    text += "\n  " + r.path;
                }
                return Fail(kCliNoReader, text);
            }
            path_ = readers[0].path;
        }
        session_ = std::make_unique<ReaderSession>(OnlyThePath(std::move(platform), path_),
                                                   MakeUdevDeviceWatch());
        if (!session_->Open(kUsbHidMode)) {
            std::string why = session_->Status();
            if (session_->Hid().FoundWithoutAccess()) {
                why += "; this user may not open " + path_ +
                       ": install the udev rule 70-tallisk.rules and plug the reader in again";
            }
            return Fail(kCliNoReader, path_ + ": " + why);
        }
        return 0;
    }

    ReaderSession& Session() { return *session_; }
    const std::string& Path() const { return path_; }

  private:
    const CommandLine& line_;
    std::string path_;
    std::unique_ptr<ReaderSession> session_;
};

// The exit status of a command's outcome; says why on standard error.
int StatusOf(const ReaderSession::Outcome& outcome, const std::string& success,
             const std::string& path) {
    if (!outcome.answered || outcome.result == kExchangeNoReply ||
        outcome.result == kExchangeConnectionLost) {
        return Fail(kCliNoAnswer, path + ": no answer (" + outcome.status + ")");
    }
    if (outcome.result == kExchangeNotConnected || outcome.result == kExchangeSerialNotOpen) {
        return Fail(kCliNoReader, path + ": " + outcome.status);
    }
    if (outcome.result != kExchangeOk || outcome.status != success) {
        return Fail(kCliRefused, path + ": " + outcome.status);
    }
    return kCliOk;
}

// Reads the configuration; 0 and the block, or the exit status.
int ReadBlock(Target& target, ConfigBlock& block) {
    const ReaderSession::Outcome outcome = target.Session().ReadConfiguration();
    const int status = StatusOf(outcome, status::kConfigReadOk, target.Path());
    if (status != kCliOk) {
        return status;
    }
    std::copy_n(outcome.reply.begin(), kConfigBlockSize, block.begin());
    return kCliOk;
}

bool ReadFileText(const std::string& name, std::string& text) {
    if (name == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), {});
        return true;
    }
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), {});
    return true;
}

// 0 and the file's configuration, or the exit status.
int LoadFile(const std::string& name, Configuration& configuration) {
    std::string text;
    if (!ReadFileText(name, text)) {
        return Fail(kCliUsage, name + ": " + std::strerror(errno));
    }
    const ConfigFileResult result = ReadConfigFile(text);
    if (result.status != ConfigFileStatus::Ok) {
        return Fail(kCliUsage, name + " is refused, nothing was sent:\n" + result.message);
    }
    configuration = result.configuration;
    return kCliOk;
}

void PrintDifferences(const std::vector<SettingDifference>& differences, bool json) {
    if (json) {
        std::printf("[");
        for (size_t i = 0; i < differences.size(); ++i) {
            const SettingDifference& d = differences[i];
            std::printf("%s{\"key\": %s, \"caption\": %s, \"reader\": %s, \"file\": %s}",
                        i == 0 ? "" : ", ", JsonText(d.key).c_str(), JsonText(d.caption).c_str(),
                        JsonText(d.valueA).c_str(), JsonText(d.valueB).c_str());
        }
        std::printf("]");
        return;
    }
    for (const SettingDifference& d : differences) {
        std::printf("%s (%s): reader %s, file %s\n", d.caption.c_str(), d.key.c_str(),
                    d.valueA.c_str(), d.valueB.c_str());
    }
}

int RunRead(Target& target, bool json) {
    ConfigBlock block{};
    if (const int status = ReadBlock(target, block); status != kCliOk) {
        return status;
    }
    const Configuration read = DecodeConfiguration(block);
    if (json) {
        std::fputs(WriteConfigFile(read.settings, read.codes, &block).c_str(), stdout);
    } else {
        std::printf("reader: %s\n%s", target.Path().c_str(),
                    DescribeSettings(read.settings, read.codes, block).c_str());
    }
    return kCliOk;
}

int RunVerify(Target& target, const Configuration& file, bool json) {
    ConfigBlock block{};
    if (const int status = ReadBlock(target, block); status != kCliOk) {
        return status;
    }
    const std::vector<SettingDifference> differences =
        CompareSettings(DecodeConfiguration(block), file);
    if (json) {
        std::printf("{\"device\": %s, \"same\": %s, \"differences\": ",
                    JsonText(target.Path()).c_str(), differences.empty() ? "true" : "false");
        PrintDifferences(differences, true);
        std::printf("}\n");
    } else if (differences.empty()) {
        std::printf("%s: the reader holds the file's configuration\n", target.Path().c_str());
    } else {
        PrintDifferences(differences, false);
    }
    return differences.empty() ? kCliOk : kCliRefused;
}

int RunWrite(Target& target, const Configuration& file, bool force, bool json) {
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
        std::printf(
            "{\"device\": %s, \"changed\": %s, \"status\": %s, \"verified\": %s, "
            "\"differences\": ",
            JsonText(target.Path()).c_str(), changed ? "true" : "false", JsonText(said).c_str(),
            differences.empty() ? "true" : "false");
        PrintDifferences(differences, true);
        std::printf("}\n");
    } else {
        std::printf("%s: %s\n", target.Path().c_str(), changed ? said.c_str() : "unchanged");
        PrintDifferences(differences, false);
    }
    return differences.empty() ? kCliOk : kCliRefused;
}

// "MSR_Read_Limit", "msr-read-limit": the same command.
std::string Folded(const std::string& name) {
    std::string folded;
    for (char c : name) {
        folded += c == '-' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return folded;
}

int RunSend(Target& target, const std::vector<std::string>& words, bool json) {
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
        const NamedSetting* setting = nullptr;
        for (const NamedSetting& s : kNamedSettings) {
            if (key == s.key) {
                setting = &s;
            }
        }
        if (setting == nullptr) {
            return Fail(kCliUsage, "unknown setting " + key);
        }
        bool found = false;
        std::string allowed;
        for (int v = 0; v < SettingBindingOf(*setting).valueCount; ++v) {
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
        std::printf("{\"device\": %s, \"command\": %s, \"status\": %s}\n",
                    JsonText(target.Path()).c_str(), JsonText(command.name).c_str(),
                    JsonText(outcome.status).c_str());
    } else {
        std::printf("%s\n", outcome.status.c_str());
    }
    return StatusOf(outcome, command.successText, target.Path());
}

}  // namespace

int RunCli(int argc, const char* const* argv) {
    const Arguments args = Split(argc, argv);
    if (const std::optional<int> answered = AnswerCommandLine(kProgram, args.line)) {
        return *answered;
    }
    if (args.words.empty()) {
        return Fail(kCliUsage, "a command is needed: list, read, write, verify or send");
    }
    const std::string& command = args.words[0];
    const bool json = args.line.Has("json");
    if (command == "list") {
        return ListReadersAndLines(json);
    }
    const bool takesFile = command == "write" || command == "verify";
    if (command != "read" && !takesFile && command != "send") {
        return Fail(kCliUsage, "unknown command " + command);
    }
    if ((takesFile || command == "send") && args.words.size() < 2) {
        return Fail(kCliUsage, command + " needs " + (takesFile ? "a file" : "a command"));
    }
    Configuration file;
    if (takesFile) {
        // A refused file sends nothing: it is read before the reader is opened.
        if (const int status = LoadFile(args.words[1], file); status != kCliOk) {
            return status;
        }
    }
    Target target(args.line);
    if (const int status = target.Open(); status != kCliOk) {
        return status;
    }
    if (command == "read") {
        return RunRead(target, json);
    }
    if (command == "write") {
        return RunWrite(target, file, args.line.Has("force"), json);
    }
    if (command == "verify") {
        return RunVerify(target, file, json);
    }
    return RunSend(target, args.words, json);
}
