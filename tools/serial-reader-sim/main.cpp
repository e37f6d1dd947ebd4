// The simulated reader on a pseudo-terminal, for trying the utility (or any
// other program) without a reader. It prints the terminal's path and takes
// commands on its standard input.
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "PtyReaderLink.h"
#include "ReadFormatter.h"
#include "commandline/CommandLine.h"

namespace {

constexpr const char* kHelp =
    "commands:\n"
    "  cheque [N]        read sample cheque N (1-3)\n"
    "  misread           read a cheque with one character that cannot be read\n"
    "  card              swipe the sample card\n"
    "  silent on|off     answer nothing\n"
    "  refuse on|off     answer every command with ESC '1'\n"
    "  garbage on|off    answer with meaningless bytes\n"
    "  slow MS           wait MS milliseconds before each reply\n"
    "  split MS          pause MS milliseconds in the middle of each reply\n"
    "  config            print the reader's configuration\n"
    "  quit\n";

std::string Hex(const ConfigBlock& block) {
    std::string text;
    char byte[4];
    for (uint8_t b : block) {
        std::snprintf(byte, sizeof byte, "%02X ", b);
        text += byte;
    }
    return text;
}

// Its --help tells of the commands on the standard input too (kHelp
// without its last line break).
const std::string kSummary =
    "The simulated reader on a pseudo-terminal, for trying the utility without a reader.\n"
    "It prints the terminal's path and takes commands on its standard input.\n" +
    std::string(kHelp, std::string_view(kHelp).size() - 1);

const ProgramSpec kProgram{
    "tallisk-serial-sim",
    kSummary.c_str(),
    {},
    "Exit status: 0 after quit or at the end of the input, 1 when no pseudo-terminal can be "
    "made, 64 for a wrong option.",
};

bool Switch(std::istringstream& words) {
    std::string value;
    words >> value;
    return value == "on";
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine options = ParseCommandLine(kProgram.options, argc, argv);
    if (const std::optional<int> status = AnswerCommandLine(kProgram, options)) {
        return *status;
    }

    PtyReaderLink reader;
    if (!reader.Start()) {
        std::perror("serial-reader-sim: cannot create a pseudo-terminal");
        return 1;
    }
    std::cout << "Simulated reader on " << reader.Path() << "\n"
              << "Start the utility with TALLISK_COM1=" << reader.Path() << "\n"
              << kHelp << std::flush;

    PtyReaderLink::Timing timing;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        const ConfigBlock config = reader.WithModel([](ReaderModel& m) { return m.Config(); });
        if (command == "cheque") {
            size_t n = 1;
            words >> n;
            const size_t index = n >= 1 && n <= kSampleChequeLines.size() ? n - 1 : 0;
            reader.Send(FormatChequeRead(config, kSampleChequeLines[index]));
        } else if (command == "misread") {
            std::string micr = kSampleChequeLines[0];
            micr[3] = '?';
            reader.Send(FormatChequeRead(config, micr));
        } else if (command == "card") {
            reader.Send(FormatCardRead(config, kSampleCardTracks));
        } else if (command == "silent") {
            const bool on = Switch(words);
            reader.WithModel([on](ReaderModel& m) { m.faults.silent = on; });
        } else if (command == "refuse") {
            const bool on = Switch(words);
            reader.WithModel([on](ReaderModel& m) { m.faults.refuse = on; });
        } else if (command == "garbage") {
            const bool on = Switch(words);
            reader.WithModel([on](ReaderModel& m) { m.faults.garbage = on; });
        } else if (command == "slow") {
            words >> timing.replyDelayMs;
            reader.SetTiming(timing);
        } else if (command == "split") {
            words >> timing.splitPauseMs;
            reader.SetTiming(timing);
        } else if (command == "config") {
            std::cout << Hex(config) << "\n" << std::flush;
        } else if (command == "quit") {
            break;
        } else if (!command.empty()) {
            std::cout << kHelp << std::flush;
        }
    }
    reader.Stop();
    return 0;
}
