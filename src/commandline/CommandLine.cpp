#include "commandline/CommandLine.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "commandline/ProgramVersion.h"

namespace {

constexpr std::array<OptionSpec, 2> kCommonOptions{{
    {"help", nullptr, "print this help and exit"},
    {"version", nullptr, "print the program's name and version and exit"},
}};

const OptionSpec* Find(std::span<const OptionSpec> options, std::string_view name) {
    for (const auto table : {options, std::span<const OptionSpec>(kCommonOptions)}) {
        const auto found = std::find_if(table.begin(), table.end(),
                                        [name](const OptionSpec& o) { return name == o.name; });
        if (found != table.end()) {
            return &*found;
        }
    }
    return nullptr;
}

// "--name VALUE" or "--name", as the help and the usage line show it.
std::string Shown(const OptionSpec& option) {
    std::string text = std::string("--") + option.name;
    if (option.valueName != nullptr) {
        text += std::string(" ") + option.valueName;
    }
    return text;
}

template <typename Each>
void ForEachOption(const ProgramSpec& program, Each each) {
    std::for_each(program.options.begin(), program.options.end(), each);
    std::for_each(kCommonOptions.begin(), kCommonOptions.end(), each);
}

}  // namespace

std::string CommandLine::Value(std::string_view name) const {
    const auto found = given.find(name);
    return found != given.end() ? found->second : std::string();
}

CommandLine ParseCommandLine(std::span<const OptionSpec> options, int argc,
                             const char* const* argv) {
    CommandLine line;
    const auto fail = [&line](std::string error) {
        line.outcome = CommandLineOutcome::UsageError;
        line.error = std::move(error);
        return line;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!arg.starts_with("--")) {
            return fail((arg.starts_with("-") ? "unknown option " : "unexpected argument ") +
                        std::string(arg));
        }
        const size_t equals = arg.find('=');
        const std::string_view name = arg.substr(2, equals == arg.npos ? arg.npos : equals - 2);
        const OptionSpec* option = Find(options, name);
        if (option == nullptr) {
            return fail("unknown option --" + std::string(name));
        }
        std::string value;
        if (option->valueName == nullptr) {
            if (equals != arg.npos) {
                return fail("option --" + std::string(name) + " takes no value");
            }
        } else if (equals != arg.npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < argc && !std::string_view(argv[i + 1]).starts_with("--")) {
            // A forgotten value is not taken from the next option.
            value = argv[++i];
        }
        if (option->valueName != nullptr && value.empty()) {
            return fail("option --" + std::string(name) + " needs a value: " + option->valueName);
        }
        line.given[option->name] = value;
    }
    if (line.Has("help")) {
        line.outcome = CommandLineOutcome::Help;
    } else if (line.Has("version")) {
        line.outcome = CommandLineOutcome::Version;
    }
    return line;
}

std::string HelpText(const ProgramSpec& program) {
    size_t width = 0;
    ForEachOption(program,
                  [&width](const OptionSpec& o) { width = std::max(width, Shown(o).size()); });
    std::string text = std::string("Usage: ") + program.name + " [OPTION]...\n" + program.summary +
                       "\n\nOptions:\n";
    ForEachOption(program, [&](const OptionSpec& o) {
        const std::string shown = Shown(o);
        text += "  " + shown + std::string(width - shown.size() + 2, ' ') + o.help + "\n";
    });
    return text + "\n" + program.exitStatus + "\n";
}

std::string VersionText(const ProgramSpec& program) {
    return std::string(program.name) + " " + ProgramVersion() + "\n";
}

std::string UsageText(const ProgramSpec& program, const std::string& error) {
    std::string synopsis = std::string("Usage: ") + program.name;
    ForEachOption(program, [&synopsis](const OptionSpec& o) { synopsis += " [" + Shown(o) + "]"; });
    return std::string(program.name) + ": " + error + "\n" + synopsis + "\n";
}

std::optional<int> AnswerCommandLine(const ProgramSpec& program, const CommandLine& line) {
    switch (line.outcome) {
        case CommandLineOutcome::Run:
            return std::nullopt;
        case CommandLineOutcome::Help:
            std::fputs(HelpText(program).c_str(), stdout);
            return 0;
        case CommandLineOutcome::Version:
            std::fputs(VersionText(program).c_str(), stdout);
            return 0;
        case CommandLineOutcome::UsageError:
            std::fputs(UsageText(program, line.error).c_str(), stderr);
            return kExitUsage;
    }
    return kExitUsage;
}
