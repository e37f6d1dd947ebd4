#pragma once

#include <span>
#include <string>
#include <vector>

#include "commandline/CommandLine.h"

// One option of tallisk-cli: "--name", "-x", or "--name VALUE".
struct CliOption {
    const char* name;       // without the leading "--"
    char shortName;         // 0 for none
    const char* valueName;  // nullptr for a switch, else the value in the help: "PATH"
    const char* help;
};

struct CliInvocation;

// One command of tallisk-cli: its name, what its arguments are, what it
// does, the options of its own, examples for its help, and how it runs.
struct CliCommand {
    const char* name;
    const char* arguments;  // as the usage line shows them, "FILE|-"; "" for none
    const char* summary;
    std::span<const CliOption> options;
    int minArguments;
    int maxArguments;  // -1: any number
    bool onReader;     // works on a reader: takes --device, --serial, --all and --trace
    const char* examples;
    int (*run)(const CliInvocation& invocation);
};

// The command line as read: the command, the options given (global and the
// command's, by long name; a switch has an empty value) and the arguments.
struct CliInvocation {
    const CliCommand* command = nullptr;
    CommandLine line;
    std::vector<std::string> arguments;
    bool help = false;
    bool version = false;
    std::string error;  // a usage error: what is wrong

    bool Has(std::string_view name) const { return line.Has(name); }
    std::string Value(std::string_view name) const { return line.Value(name); }
};

// The options every command takes before or after it.
std::span<const CliOption> GlobalOptions();
// Every command, in the order the help lists them.
std::span<const CliCommand> CliCommands();
const CliCommand* FindCliCommand(std::string_view name);
