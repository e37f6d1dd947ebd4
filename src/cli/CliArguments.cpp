#include "cli/CliArguments.h"

#include <algorithm>

namespace {

// An option found on the line, before it is known whether the command
// takes it.
struct Given {
    const CliOption* option;
    std::string shown;  // as it was written: "--force", "-h"
    std::string value;
};

template <typename Match>
const CliOption* FindIn(std::span<const CliOption> options, Match match) {
    const auto found = std::find_if(options.begin(), options.end(), match);
    return found == options.end() ? nullptr : &*found;
}

// The option of this name in the global table or in any command's: the
// table says whether it takes a value before the command is known.
const CliOption* FindAnywhere(std::string_view name, char shortName) {
    const auto match = [&](const CliOption& o) {
        return shortName != 0 ? o.shortName == shortName : name == o.name;
    };
    if (const CliOption* global = FindIn(GlobalOptions(), match)) {
        return global;
    }
    for (const CliCommand& command : CliCommands()) {
        if (const CliOption* own = FindIn(command.options, match)) {
            return own;
        }
    }
    return nullptr;
}

bool IsGlobal(const CliOption* option) {
    const std::span<const CliOption> global = GlobalOptions();
    return option >= global.data() && option < global.data() + global.size();
}

bool IsCommandsOwn(const CliCommand& command, const CliOption* option) {
    return option >= command.options.data() &&
           option < command.options.data() + command.options.size();
}

// The commands that have an option of this name, for the message that
// says where it belongs.
std::string OwnersOf(std::string_view name) {
    std::string owners;
    for (const CliCommand& command : CliCommands()) {
        if (FindIn(command.options, [name](const CliOption& o) { return name == o.name; })) {
            owners += std::string(owners.empty() ? "" : " and ") + command.name;
        }
    }
    return owners;
}

std::string CommandNames() {
    std::string names;
    for (const CliCommand& command : CliCommands()) {
        names += std::string(names.empty() ? "" : ", ") + command.name;
    }
    return names;
}

bool IsReaderOption(std::string_view name) {
    return name == "device" || name == "serial" || name == "all" || name == "trace";
}

// What is wrong with the options for this command, or "".
std::string CheckOptions(const CliCommand& command, const std::vector<Given>& given) {
    for (const Given& g : given) {
        const std::string_view name = g.option->name;
        if (IsGlobal(g.option)) {
            if (!command.onReader && IsReaderOption(name)) {
                return g.shown + " concerns a reader, and " + command.name + " works on none";
            }
            continue;
        }
        if (!IsCommandsOwn(command, g.option)) {
            return g.shown + " is an option of " + OwnersOf(name) + ", not of " + command.name;
        }
    }
    for (size_t i = 0; i < given.size(); ++i) {
        for (size_t k = 0; k < i; ++k) {
            if (given[k].option == given[i].option) {
                return std::string("--") + given[i].option->name + " is given twice";
            }
        }
    }
    const auto has = [&given](std::string_view name) {
        return std::any_of(given.begin(), given.end(),
                           [name](const Given& g) { return name == g.option->name; });
    };
    const char* readers[] = {"device", "serial", "all"};
    for (size_t i = 0; i < std::size(readers); ++i) {
        for (size_t k = i + 1; k < std::size(readers); ++k) {
            if (has(readers[i]) && has(readers[k])) {
                return std::string("--") + readers[i] + " and --" + readers[k] +
                       " name two readers at once: give one";
            }
        }
    }
    return "";
}

std::string CheckArguments(const CliCommand& command, const std::vector<std::string>& arguments) {
    const auto count = static_cast<int>(arguments.size());
    if (count < command.minArguments) {
        return std::string(command.name) + " needs " + command.arguments;
    }
    if (command.maxArguments >= 0 && count > command.maxArguments) {
        const std::string& extra = arguments[static_cast<size_t>(command.maxArguments)];
        if (command.maxArguments == 0) {
            return std::string(command.name) + " takes no argument, and '" + extra + "' was given";
        }
        return std::string(command.name) + " takes " + command.arguments + " only; '" + extra +
               "' is one too many";
    }
    return "";
}

}  // namespace

CliInvocation ParseCli(int argc, const char* const* argv) {
    CliInvocation invocation;
    std::vector<Given> given;
    std::vector<std::string> words;
    const auto fail = [&invocation](std::string error) {
        invocation.error = std::move(error);
        return invocation;
    };
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const bool isLong = arg.rfind("--", 0) == 0;
        const size_t equals = isLong ? arg.find('=') : std::string::npos;
        const std::string name = isLong ? arg.substr(2, equals - 2) : "";
        if (!isLong && arg.size() != 2) {
            return fail("unknown option " + arg + " (short options stand alone: -h, -V)");
        }
        const CliOption* option = FindAnywhere(name, isLong ? 0 : arg[1]);
        if (option == nullptr) {
            return fail("unknown option " + (isLong ? "--" + name : arg));
        }
        Given g{option, isLong ? "--" + name : arg, ""};
        if (option->valueName == nullptr) {
            if (equals != std::string::npos) {
                return fail(g.shown + " takes no value");
            }
        } else if (equals != std::string::npos) {
            g.value = arg.substr(equals + 1);
        } else if (i + 1 < argc && argv[i + 1][0] != '-') {
            g.value = argv[++i];
        }
        if (option->valueName != nullptr && g.value.empty()) {
            return fail(g.shown + " needs a value: " + option->valueName);
        }
        if (g.option->name == std::string_view("help")) {
            invocation.help = true;
        } else if (g.option->name == std::string_view("version")) {
            invocation.version = true;
        }
        given.push_back(std::move(g));
    }
    for (const Given& g : given) {
        invocation.line.given[g.option->name] = g.value;
    }
    if (words.empty()) {
        if (invocation.help || invocation.version) {
            return invocation;
        }
        return fail("a command is needed: " + CommandNames() + " (tallisk-cli --help)");
    }
    invocation.command = FindCliCommand(words[0]);
    if (invocation.command == nullptr) {
        return fail("unknown command '" + words[0] + "'; the commands are " + CommandNames());
    }
    invocation.arguments.assign(words.begin() + 1, words.end());
    if (std::string error = CheckOptions(*invocation.command, given); !error.empty()) {
        return fail(error);
    }
    // A command's help needs no arguments, and takes any.
    if (invocation.help || invocation.version) {
        return invocation;
    }
    if (std::string error = CheckArguments(*invocation.command, invocation.arguments);
        !error.empty()) {
        return fail(error);
    }
    return invocation;
}
