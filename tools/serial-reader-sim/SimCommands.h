#pragma once

#include <span>
#include <string>
#include <string_view>

class PtyReaderLink;

// The commands tallisk-serial-sim takes on its standard input, one a line:
// a table of names, the argument each takes and what each does, read by a
// generic parser that refuses a wrong line with one line saying why.

enum class SimArgument {
    None,            // "card"
    Number,          // "slow MS"
    OptionalNumber,  // "cheque [N]": fallback when left out
    Switch,          // "silent on|off": 1 or 0
};

enum class SimOutcome {
    Nothing,  // an empty line: no answer
    Done,
    Refused,  // the line changed nothing
    Quit,
};

struct SimAnswer {
    SimOutcome outcome = SimOutcome::Nothing;
    std::string text;  // the answer, without its last line break
};

struct SimCommand {
    const char* name;
    SimArgument argument;
    const char* argumentName;  // "N", "MS", "on|off"; "" for none
    int min;                   // a number's range
    int max;
    int fallback;  // an OptionalNumber left out
    const char* help;
    SimAnswer (*action)(PtyReaderLink& reader, int value);
};

// A line read against a table: the command and its value, or what was
// wrong (command null, error set); both null and empty for a blank line.
struct SimParse {
    const SimCommand* command = nullptr;
    int value = 0;
    std::string error;
};

SimParse ParseSimLine(std::span<const SimCommand> table, std::string_view line);

// "cheque [N]", "slow MS", as the help shows a command.
std::string SimUsage(const SimCommand& command);

// "commands:" and a line a command, without the last line break.
std::string SimHelp(std::span<const SimCommand> table);

// The commands of tallisk-serial-sim.
std::span<const SimCommand> SimCommands();

// Parses and carries out one line of input on the reader.
SimAnswer RunSimLine(PtyReaderLink& reader, std::string_view line);
