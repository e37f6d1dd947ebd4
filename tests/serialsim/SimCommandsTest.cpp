// The simulator's commands without a terminal: how each line is read, what
// a wrong one is told, and what a good one changes in the reader.
#include <gtest/gtest.h>

#include <string>

#include "PtyReaderLink.h"
#include "SimCommands.h"

namespace {

TEST(SimCommands, EachLineIsReadOrRefusedWithWhatIsAllowed) {
    const struct {
        const char* line;
        const char* command;  // nullptr: refused or blank
        int value;
        const char* error;  // the whole message; "" for none
    } cases[] = {
        {"cheque", "cheque", 1, ""},
        {"cheque 3", "cheque", 3, ""},
        {"  cheque\t2 \r", "cheque", 2, ""},
        {"cheque 003", "cheque", 3, ""},
        {"cheque 9", nullptr, 0, "9 is out of range; usage: cheque [N], N from 1 to 3"},
        {"cheque 0", nullptr, 0, "0 is out of range; usage: cheque [N], N from 1 to 3"},
        {"cheque -1", nullptr, 0, "-1 is out of range; usage: cheque [N], N from 1 to 3"},
        {"cheque 99999999999", nullptr, 0,
         "99999999999 is out of range; usage: cheque [N], N from 1 to 3"},
        {"cheque two", nullptr, 0, "'two' is not a number; usage: cheque [N], N from 1 to 3"},
        {"cheque +2", nullptr, 0, "'+2' is not a number; usage: cheque [N], N from 1 to 3"},
        {"cheque 2x", nullptr, 0, "'2x' is not a number; usage: cheque [N], N from 1 to 3"},
        {"cheque 1 2 3", nullptr, 0,
         "too many arguments to cheque: '2 3'; usage: cheque [N], N from 1 to 3"},
        {"slow 0", "slow", 0, ""},
        {"slow 60000", "slow", 60000, ""},
        {"slow 60001", nullptr, 0, "60001 is out of range; usage: slow MS, MS from 0 to 60000"},
        {"slow abc", nullptr, 0, "'abc' is not a number; usage: slow MS, MS from 0 to 60000"},
        {"slow", nullptr, 0, "slow needs MS; usage: slow MS, MS from 0 to 60000"},
        {"split 250", "split", 250, ""},
        {"silent on", "silent", 1, ""},
        {"refuse off", "refuse", 0, ""},
        {"silent", nullptr, 0, "silent needs on|off; usage: silent on|off"},
        {"silent ON", nullptr, 0, "'ON' is neither on nor off; usage: silent on|off"},
        {"refuse on off", nullptr, 0, "too many arguments to refuse: 'off'; usage: refuse on|off"},
        {"card", "card", 0, ""},
        {"card 2", nullptr, 0, "too many arguments to card: '2'; usage: card"},
        {"misread", "misread", 0, ""},
        {"config", "config", 0, ""},
        {"help", "help", 0, ""},
        {"quit", "quit", 0, ""},
        {"", nullptr, 0, ""},
        {" \t\r", nullptr, 0, ""},
        {"Cheque 1", nullptr, 0,
         "unknown command 'Cheque'; commands: cheque, misread, card, silent, refuse, garbage, "
         "slow, split, config, status, help, quit"},
    };
    for (const auto& c : cases) {
        const SimParse parse = ParseSimLine(SimCommands(), c.line);
        const std::string shown = ::testing::PrintToString(std::string(c.line));
        if (c.command == nullptr || c.error[0] != '\0') {
            EXPECT_EQ(parse.command, nullptr) << shown;
        } else {
            ASSERT_NE(parse.command, nullptr) << shown << ": " << parse.error;
            EXPECT_STREQ(parse.command->name, c.command) << shown;
            EXPECT_EQ(parse.value, c.value) << shown;
        }
        EXPECT_EQ(parse.error, c.error) << shown;
    }
}

// The parts of the reader a command may change.
struct ReaderState {
    ReaderFaults faults;
    PtyReaderLink::Timing timing;

    static ReaderState Of(PtyReaderLink& reader) {
        return {reader.WithModel([](ReaderModel& m) { return m.faults; }), reader.CurrentTiming()};
    }
    bool operator==(const ReaderState& o) const {
        return faults.silent == o.faults.silent && faults.refuse == o.faults.refuse &&
               faults.garbage == o.faults.garbage && timing.replyDelayMs == o.timing.replyDelayMs &&
               timing.splitPauseMs == o.timing.splitPauseMs;
    }
};

TEST(SimCommands, AGoodLineIsAnsweredWithWhatItDidAndAWrongOneChangesNothing) {
    // No terminal: reads go nowhere, the settings are kept all the same.
    PtyReaderLink reader;
    ASSERT_TRUE(reader.Path().empty());
    const struct {
        const char* line;
        SimOutcome outcome;
        const char* answer;            // the whole answer, or how an error begins
        void (*change)(ReaderState&);  // what the line changes
    } cases[] = {
        {"slow 1500", SimOutcome::Done, "ok: each reply waits 1500 ms",
         [](ReaderState& s) { s.timing.replyDelayMs = 1500; }},
        {"slow abc", SimOutcome::Refused, "error: 'abc' is not a number", [](ReaderState&) {}},
        {"slow", SimOutcome::Refused, "error: slow needs MS", [](ReaderState&) {}},
        {"split 40", SimOutcome::Done, "ok: each reply pauses 40 ms in the middle",
         [](ReaderState& s) { s.timing.splitPauseMs = 40; }},
        {"split 0", SimOutcome::Done, "ok: replies are not split",
         [](ReaderState& s) { s.timing.splitPauseMs = 0; }},
        {"silent on", SimOutcome::Done, "ok: silent on",
         [](ReaderState& s) { s.faults.silent = true; }},
        {"silent of", SimOutcome::Refused, "error: 'of' is neither on nor off",
         [](ReaderState&) {}},
        {"refuse on", SimOutcome::Done, "ok: refuse on",
         [](ReaderState& s) { s.faults.refuse = true; }},
        {"garbage on", SimOutcome::Done, "ok: garbage on",
         [](ReaderState& s) { s.faults.garbage = true; }},
        {"silent off", SimOutcome::Done, "ok: silent off",
         [](ReaderState& s) { s.faults.silent = false; }},
        {"cheque 2", SimOutcome::Done, "ok: read sample cheque 2", [](ReaderState&) {}},
        {"cheque", SimOutcome::Done, "ok: read sample cheque 1", [](ReaderState&) {}},
        {"cheque 9", SimOutcome::Refused, "error: 9 is out of range", [](ReaderState&) {}},
        {"misread", SimOutcome::Done, "ok: read a cheque with one character that cannot be read",
         [](ReaderState&) {}},
        {"card", SimOutcome::Done, "ok: swiped the sample card", [](ReaderState&) {}},
        {"config", SimOutcome::Done, "30 43 41 42 43 44 45 3F ", [](ReaderState&) {}},
        {"help", SimOutcome::Done, "commands:\n  cheque [N]  ", [](ReaderState&) {}},
        {"frob", SimOutcome::Refused, "error: unknown command 'frob'", [](ReaderState&) {}},
        {"", SimOutcome::Nothing, "", [](ReaderState&) {}},
        {"quit", SimOutcome::Quit, "ok: quit", [](ReaderState&) {}},
    };
    ReaderState expected = ReaderState::Of(reader);
    for (const auto& c : cases) {
        const SimAnswer answer = RunSimLine(reader, c.line);
        EXPECT_EQ(answer.outcome, c.outcome) << c.line;
        EXPECT_TRUE(answer.text.starts_with(c.answer)) << c.line << ": " << answer.text;
        if (c.line != std::string("help")) {
            EXPECT_EQ(answer.text.find('\n'), std::string::npos) << c.line << ": one line";
        }
        c.change(expected);
        EXPECT_TRUE(ReaderState::Of(reader) == expected) << c.line;
    }
}

TEST(SimCommands, TheHelpShowsEachCommandOnceWithItsUsage) {
    const std::string help = SimHelp(SimCommands());
    EXPECT_TRUE(help.starts_with("commands:\n")) << help;
    EXPECT_NE(help.back(), '\n');
    for (const SimCommand& c : SimCommands()) {
        const std::string entry = "\n  " + SimUsage(c) + "  ";
        const size_t at = help.find(entry);
        ASSERT_NE(at, std::string::npos) << c.name << "\n" << help;
        EXPECT_EQ(help.find(entry, at + 1), std::string::npos) << c.name;
        // The text beside it, after at least two blanks, as the manual page reads it.
        EXPECT_NE(help[help.find_first_not_of(' ', at + entry.size())], '\n') << c.name;
    }
}

}  // namespace
