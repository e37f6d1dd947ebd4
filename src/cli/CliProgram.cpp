#include "cli/CliProgram.h"

#include <QByteArray>
#include <QJsonDocument>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "channels/common/Trace.h"
#include "cli/CliExit.h"
#include "cli/CliOutput.h"
#include "cli/ConfigCommands.h"
#include "cli/HidSelection.h"
#include "cli/ReaderTarget.h"
#include "cli/SendCommand.h"
#include "cli/SerialCandidates.h"
#include "cli/SerialLineName.h"
#include "cli/WatchCommand.h"
#include "commandline/CommandLine.h"

namespace {

constexpr std::array<OptionSpec, 8> kOptions{{
    {"device", "PATH", "the USB reader on this hidraw node (default: the one reader present)"},
    {"all", nullptr, "run the command on every USB reader present, reporting per reader"},
    {"serial", "PATH",
     "the reader on this serial line instead of USB (9600 8N1); COM1 is the "
     "window's port: TALLISK_COM1, else /dev/ttyS0"},
    {"json", nullptr, "print a JSON document instead of text"},
    {"force", nullptr, "write: send the configuration even when the reader already holds it"},
    {"trace", nullptr,
     "every frame and report sent and received, in hex with a millisecond time stamp, on "
     "standard error"},
    {"compare", nullptr, "watch: compare each read with the first, and count the successes"},
    {"count", "N", "watch: stop after N reads"},
}};

constexpr ProgramSpec kProgram{
    "tallisk-cli",
    "Configures and tests a cheque reader without a window.\n"
    "Commands:\n"
    "  list                   the USB readers and serial lines present\n"
    "  read                   the reader's configuration, as named settings and raw bytes\n"
    "  write FILE|-           write a configuration file (read first, verified after)\n"
    "  verify FILE|-          compare the reader's configuration with a file\n"
    "  send COMMAND [KEY=VALUE...]  any other command, its settings by name\n"
    "  watch                  print each cheque or card read as it arrives",
    kOptions,
    "Exit status: 0 success, 1 the reader said no, its answer is not believed or verify "
    "differs, 64 usage error or a refused file, 69 no reader, it cannot be opened or another "
    "program holds it, 74 no answer, nothing sent, the reader went away or watch cannot write "
    "its output, 128 + the signal when SIGINT, SIGTERM or SIGHUP ended a command (watch ends "
    "with 0).",
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
        for (const OptionSpec& option : kOptions) {
            if (name == option.name && option.valueName != nullptr &&
                arg.find('=') == std::string::npos && i + 1 < argc) {
                options.push_back(argv[++i]);
            }
        }
    }
    args.line = ParseCommandLine(kOptions, static_cast<int>(options.size()), options.data());
    return args;
}

// Runs the command on one reader, opened here.
int RunOn(ReaderTarget& target, const Arguments& args, const Configuration& file,
          const WatchOptions& watch = {}) {
    if (const int status = target.Open(); status != kCliOk) {
        return status;
    }
    const std::string& command = args.words[0];
    const bool json = args.line.Has("json");
    if (command == "read") {
        return RunRead(target, json);
    }
    if (command == "write") {
        return RunWrite(target, file, args.line.Has("force"), json);
    }
    if (command == "verify") {
        return RunVerify(target, file, json);
    }
    if (command == "watch") {
        return RunWatch(target, watch, !args.line.Has("serial"));
    }
    return RunSend(target, args.words, json);
}

// --all: the command on each USB reader in turn, each one's output under its
// path (text) or as one entry of a JSON array. The status is 0 when every
// reader succeeded, else the highest of theirs.
int RunOnEveryReader(const Arguments& args, const Configuration& file) {
    if (args.line.Has("serial") || args.line.Has("device")) {
        return Fail(kCliUsage,
                    "--all takes every USB reader; it goes with neither --serial nor --device");
    }
    std::unique_ptr<HidPlatform> platform = MakeLinuxHidPlatform();
    const std::vector<HidDeviceInfo> readers =
        platform ? ListReaders(*platform) : std::vector<HidDeviceInfo>{};
    platform.reset();
    if (readers.empty()) {
        return Fail(kCliNoReader, NoUsbReaderText());
    }
    const bool json = args.line.Has("json");
    int worst = kCliOk;
    QJsonArray entries;
    for (size_t i = 0; i < readers.size(); ++i) {
        std::string output;
        CaptureOutput(&output);
        ReaderTarget target(args.line, readers[i].path);
        const int status = RunOn(target, args, file);
        CaptureOutput(nullptr);
        worst = std::max(worst, status);
        while (!output.empty() && output.back() == '\n') {
            output.pop_back();
        }
        if (json) {
            // Each reader's own document, or null where it printed none.
            const QJsonDocument document =
                QJsonDocument::fromJson(QByteArray::fromStdString(output));
            entries.append(QJsonObject{
                {"device", JsonString(readers[i].path)},
                {"exit", status},
                {"output", document.isObject() ? QJsonValue(document.object()) : QJsonValue()}});
        } else {
            Emit("== %s (exit %d)\n%s%s", readers[i].path.c_str(), status, output.c_str(),
                 output.empty() ? "" : "\n");
        }
    }
    if (json) {
        Emit("%s", QJsonDocument(entries).toJson(QJsonDocument::Indented).constData());
    }
    return worst;
}

}  // namespace

int RunCli(int argc, const char* const* argv) {
    const Arguments args = Split(argc, argv);
    if (const std::optional<int> answered = AnswerCommandLine(kProgram, args.line)) {
        return *answered;
    }
    if (args.words.empty()) {
        return Fail(kCliUsage, "a command is needed: list, read, write, verify, send or watch");
    }
    const std::string& command = args.words[0];
    const bool json = args.line.Has("json");
    SetTraceEnabled(args.line.Has("trace"));
    if (command == "list") {
        return ListReadersAndLines(json);
    }
    const bool takesFile = command == "write" || command == "verify";
    if (command != "read" && !takesFile && command != "send" && command != "watch") {
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
    WatchOptions watch{args.line.Has("compare"), json, 0};
    if (command == "watch" && args.line.Has("count") &&
        !ParseWatchCount(args.line.Value("count"), watch.count)) {
        return Fail(kCliUsage, "--count needs a number of reads from 1 on");
    }
    if (args.line.Has("all")) {
        if (command == "watch") {
            return Fail(kCliUsage, "watch follows one reader; choose it with --device");
        }
        return RunOnEveryReader(args, file);
    }
    ReaderTarget target(args.line);
    return RunOn(target, args, file, watch);
}
