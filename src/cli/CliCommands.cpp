#include <algorithm>
#include <array>

#include "cli/CliCommand.h"
#include "cli/CommandRuns.h"

namespace {

constexpr std::array<CliOption, 7> kGlobal{{
    {"device", 0, "PATH", "the USB reader on this hidraw node (default: the one reader present)"},
    {"serial", 0, "PATH",
     "the reader on this serial line instead of USB (9600 8N1); COM<n> names the window's "
     "port: TALLISK_COM<n>, else /dev/ttyS<n-1>"},
    {"all", 0, nullptr, "run the command on every USB reader present, reporting per reader"},
    {"json", 0, nullptr, "print a JSON document instead of text"},
    {"trace", 0, nullptr,
     "every frame and report sent and received, in hex with a millisecond time stamp, on "
     "standard error"},
    {"help", 'h', nullptr, "print the help (of the command, when one is named) and exit"},
    {"version", 'V', nullptr, "print the program's name and version and exit"},
}};

constexpr std::array<CliOption, 1> kWriteOptions{{
    {"force", 0, nullptr, "send the configuration even when the reader already holds it"},
}};

constexpr std::array<CliOption, 2> kSendOptions{{
    {"list", 0, nullptr, "list the commands send takes, with the settings each carries"},
    {"from", 0, "FILE",
     "take the settings the command carries from this configuration file (- for standard "
     "input); settings given as KEY=VALUE go over the file's"},
}};

constexpr std::array<CliOption, 2> kWatchOptions{{
    {"compare", 0, nullptr, "compare each read with the first, and count the successes"},
    {"count", 0, "N", "stop after N reads"},
}};

constexpr std::span<const CliOption> kNone;

// clang-format off
const std::array<CliCommand, 8> kCommands{{
    {"list", "", "the USB readers and serial lines present", kNone, 0, 0, false,
     "tallisk-cli list\ntallisk-cli list --json", RunListCommand},
    {"read", "", "the reader's configuration, every setting by its caption and key, and the raw block",
     kNone, 0, 0, true,
     "tallisk-cli read\ntallisk-cli read --json > reader.json\ntallisk-cli --serial /dev/ttyUSB0 read",
     RunReadCommand},
    {"write", "FILE|-", "write a configuration file: read first, sent when it changes the reader, read back to verify",
     kWriteOptions, 1, 1, true,
     "tallisk-cli write reader.json\ntallisk-cli --all write site.json\ntallisk-cli read --json | tallisk-cli write -",
     RunWriteCommand},
    {"verify", "FILE|-", "compare the reader's configuration with a file", kNone, 1, 1, true,
     "tallisk-cli verify reader.json || echo \"this reader differs\"", RunVerifyCommand},
    {"send", "COMMAND [KEY=VALUE...]", "send any other command of the command set, with the settings it carries",
     kSendOptions, 0, -1, true,
     "tallisk-cli send --list\ntallisk-cli send Device_Connect\n"
     "tallisk-cli send MSR_Read_Limit track1Limit=true track2Limit=false track3Limit=true\n"
     "tallisk-cli send Check_Standards_Setup --from reader.json",
     RunSendCommand},
    {"watch", "", "print each cheque or card read as it arrives", kWatchOptions, 0, 0, true,
     "tallisk-cli watch\ntallisk-cli watch --compare --count 10\ntallisk-cli --serial COM1 watch --json",
     RunWatchCommand},
    {"help", "[COMMAND]", "the help of tallisk-cli, or of one command", kNone, 0, 1, false,
     "tallisk-cli help write\ntallisk-cli help send", RunHelpCommand},
    {"completion", "bash|zsh", "the shell's completion of commands, options, send's commands and keys, and readers",
     kNone, 1, 1, false,
     "source <(tallisk-cli completion bash)\ntallisk-cli completion zsh > ~/.zfunc/_tallisk-cli",
     RunCompletionCommand},
}};
// clang-format on

}  // namespace

std::span<const CliOption> GlobalOptions() {
    return kGlobal;
}

std::span<const CliCommand> CliCommands() {
    return kCommands;
}

const CliCommand* FindCliCommand(std::string_view name) {
    const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                    [name](const CliCommand& c) { return name == c.name; });
    return found == kCommands.end() ? nullptr : &*found;
}
