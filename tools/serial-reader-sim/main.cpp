// The simulated reader on a pseudo-terminal, for trying the utility (or any
// other program) without a reader. It prints the terminal's path and takes
// commands on its standard input, answering each with one line.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>

#include "CommandInput.h"
#include "PtyReaderLink.h"
#include "SimCommands.h"
#include "commandline/CommandLine.h"

namespace {

constexpr const char* kPrompt = "tallisk-serial-sim> ";

// Its --help tells of the commands on the standard input too.
const std::string kSummary =
    "The simulated reader on a pseudo-terminal, for trying the utility without a reader.\n"
    "It prints the terminal's path and takes commands on its standard input, one a line.\n"
    "It answers each with one line, \"ok: ...\" or \"error: ...\"; a wrong line changes "
    "nothing.\n"
    "What the terminal does not take at once is dropped, as on a cable; status counts it.\n"
    "When its input ends it keeps serving the terminal until SIGINT or SIGTERM.\n" +
    SimHelp(SimCommands());

const ProgramSpec kProgram{
    "tallisk-serial-sim",
    kSummary.c_str(),
    {},
    "Exit status: 0 after quit or on SIGINT or SIGTERM, 1 when no pseudo-terminal can be "
    "made, 64 for a wrong option.",
};

}  // namespace

int main(int argc, char** argv) {
    const CommandLine options = ParseCommandLine(kProgram.options, argc, argv);
    if (const std::optional<int> status = AnswerCommandLine(kProgram, options)) {
        return *status;
    }

    // Before the reader's thread starts, which inherits the blocked signals.
    CommandInput input;
    if (!input.Open()) {
        std::perror("serial-reader-sim: cannot take SIGINT and SIGTERM");
        return 1;
    }
    PtyReaderLink reader;
    if (!reader.Start()) {
        std::perror("serial-reader-sim: cannot create a pseudo-terminal");
        return 1;
    }
    // A script piping commands in gets the answers alone; a person gets the
    // commands and a prompt.
    const bool person = ::isatty(STDIN_FILENO) == 1;
    std::string text = "Simulated reader on " + reader.Path() + "\n" +
                       "Start the utility with TALLISK_COM1=" + reader.Path() +
                       " tallisk (Connect Mode Serial_9600_8_1), or the command line with "
                       "tallisk-cli --serial " +
                       reader.Path() + "\n";
    if (person) {
        text += SimHelp(SimCommands()) + "\n";
    }

    bool inputOpen = true;
    bool running = true;
    std::string line;
    while (running) {
        if (person && inputOpen) {
            text += kPrompt;
        }
        // Output nobody reads holds the program up until a signal, no longer.
        input.Print(text);
        text.clear();
        switch (input.Next(line)) {
            case CommandInput::Event::Line: {
                const SimAnswer answer = RunSimLine(reader, line);
                if (!answer.text.empty()) {
                    text = answer.text + "\n";
                }
                running = answer.outcome != SimOutcome::Quit;
                break;
            }
            case CommandInput::Event::TooLong:
                text = "error: a line longer than " + std::to_string(CommandInput::kLongestLine) +
                       " bytes; nothing done\n";
                break;
            case CommandInput::Event::Closed:
                inputOpen = false;
                text = std::string(person ? "\n" : "") + "input closed; still serving " +
                       reader.Path() + " until interrupted (SIGINT or SIGTERM)\n";
                break;
            case CommandInput::Event::Stop:
                text = std::string(person ? "\n" : "") + "interrupted by " +
                       (input.Signal() == SIGINT ? "SIGINT" : "SIGTERM") + "; stopped serving " +
                       reader.Path() + "\n";
                running = false;
                break;
        }
    }
    // The last words go out if the output has room for them now.
    input.Print(text, false);
    // A reply still waiting out a slow delay is dropped.
    reader.Stop();
    return 0;
}
