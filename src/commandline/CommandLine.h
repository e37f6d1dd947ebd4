#pragma once

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// One option of a program: "--name", or "--name VALUE" (also "--name=VALUE")
// when it takes a value.
struct OptionSpec {
    const char* name;       // without the leading "--"
    const char* valueName;  // nullptr for a switch, else the value in the help: "PATH"
    const char* help;       // one line
};

// What a program says of itself in its --help. Every program also takes
// --help and --version, which its own table leaves out.
struct ProgramSpec {
    const char* name;
    const char* summary;  // what the program does
    std::span<const OptionSpec> options;
    const char* exitStatus;  // the help's last line
};

enum class CommandLineOutcome { Run, Help, Version, UsageError };

struct CommandLine {
    CommandLineOutcome outcome = CommandLineOutcome::Run;
    // The options given, by name; a switch has an empty value. The last of
    // an option given twice wins.
    std::map<std::string, std::string, std::less<>> given;
    std::string error;  // for UsageError: what was wrong

    bool Has(std::string_view name) const { return given.find(name) != given.end(); }
    std::string Value(std::string_view name) const;
};

// The exit status of a wrong command line (EX_USAGE).
constexpr int kExitUsage = 64;

// Reads argv[1..argc-1]. The first wrong argument makes a UsageError; else
// --help wins over --version, and either over running. A value beginning
// with "--" is taken only as "--name=VALUE".
CommandLine ParseCommandLine(std::span<const OptionSpec> options, int argc,
                             const char* const* argv);

std::string HelpText(const ProgramSpec& program);
std::string VersionText(const ProgramSpec& program);
std::string UsageText(const ProgramSpec& program, const std::string& error);

// Prints the help or the version on standard output, or the usage message
// on standard error, and gives the exit status; gives nothing for Run.
std::optional<int> AnswerCommandLine(const ProgramSpec& program, const CommandLine& line);
