#include "SimCommands.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <tuple>
#include <vector>

#include "PtyReaderLink.h"
#include "ReadFormatter.h"
#include "protocol/HexText.h"

namespace {

std::vector<std::string_view> Words(std::string_view line) {
    constexpr std::string_view kBlanks = " \t\r";
    std::vector<std::string_view> words;
    size_t at = line.find_first_not_of(kBlanks);
    while (at != line.npos) {
        const size_t end = std::min(line.find_first_of(kBlanks, at), line.size());
        words.push_back(line.substr(at, end - at));
        at = line.find_first_not_of(kBlanks, end);
    }
    return words;
}

bool Numeric(SimArgument argument) {
    return argument == SimArgument::Number || argument == SimArgument::OptionalNumber;
}

// The usage and, for a number, its range: what the command allows.
std::string Allowed(const SimCommand& command) {
    std::string text = SimUsage(command);
    if (Numeric(command.argument)) {
        text += std::string(", ") + command.argumentName + " from " + std::to_string(command.min) +
                " to " + std::to_string(command.max);
    }
    return text;
}

std::string Quoted(std::string_view word) {
    return "'" + std::string(word) + "'";
}

SimParse Wrong(const SimCommand& command, const std::string& why) {
    return {nullptr, 0, why + "; usage: " + Allowed(command)};
}

// The argument's value, or what is wrong with it.
SimParse Value(const SimCommand& command, std::string_view word) {
    if (command.argument == SimArgument::Switch) {
        if (word == "on" || word == "off") {
            return {&command, word == "on" ? 1 : 0, ""};
        }
        return Wrong(command, Quoted(word) + " is neither on nor off");
    }
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error == std::errc::invalid_argument || end != word.data() + word.size()) {
        return Wrong(command, Quoted(word) + " is not a number");
    }
    if (error == std::errc::result_out_of_range || value < command.min || value > command.max) {
        return Wrong(command, std::string(word) + " is out of range");
    }
    return {&command, value, ""};
}

SimAnswer Done(std::string text) {
    return {SimOutcome::Done, "ok: " + std::move(text)};
}

ConfigBlock Config(PtyReaderLink& reader) {
    return reader.WithModel([](ReaderModel& m) { return m.Config(); });
}

std::string OnOff(int on) {
    return on != 0 ? "on" : "off";
}

// Sends a read as a reader on a cable does: what the line does not take now
// is lost, and the answer says so.
SimAnswer SendRead(PtyReaderLink& reader, const std::vector<uint8_t>& bytes, std::string what) {
    const size_t taken = reader.Offer(bytes);
    if (taken < bytes.size()) {
        what += "; the line took " + std::to_string(taken) + " of its " +
                std::to_string(bytes.size()) + " bytes, the rest was dropped";
    }
    return Done(std::move(what));
}

SimAnswer ReadCheque(PtyReaderLink& reader, int n) {
    return SendRead(
        reader, FormatChequeRead(Config(reader), kSampleChequeLines[static_cast<size_t>(n - 1)]),
        "read sample cheque " + std::to_string(n));
}

SimAnswer Misread(PtyReaderLink& reader, int) {
    std::string micr = kSampleChequeLines[0];
    micr[3] = '?';
    return SendRead(reader, FormatChequeRead(Config(reader), micr),
                    "read a cheque with one character that cannot be read");
}

SimAnswer SwipeCard(PtyReaderLink& reader, int) {
    return SendRead(reader, FormatCardRead(Config(reader), kSampleCardTracks),
                    "swiped the sample card");
}

SimAnswer Silent(PtyReaderLink& reader, int on) {
    reader.WithModel([on](ReaderModel& m) { m.faults.silent = on != 0; });
    return Done("silent " + OnOff(on));
}

SimAnswer Refuse(PtyReaderLink& reader, int on) {
    reader.WithModel([on](ReaderModel& m) { m.faults.refuse = on != 0; });
    return Done("refuse " + OnOff(on));
}

SimAnswer Garbage(PtyReaderLink& reader, int on) {
    reader.WithModel([on](ReaderModel& m) { m.faults.garbage = on != 0; });
    return Done("garbage " + OnOff(on));
}

SimAnswer Slow(PtyReaderLink& reader, int ms) {
    PtyReaderLink::Timing timing = reader.CurrentTiming();
    timing.replyDelayMs = ms;
    reader.SetTiming(timing);
    return Done("each reply waits " + std::to_string(ms) + " ms");
}

SimAnswer Split(PtyReaderLink& reader, int ms) {
    PtyReaderLink::Timing timing = reader.CurrentTiming();
    timing.splitPauseMs = ms;
    reader.SetTiming(timing);
    return Done(ms == 0 ? "replies are not split"
                        : "each reply pauses " + std::to_string(ms) + " ms in the middle");
}

// The configuration in hexadecimal, a blank after each byte: the answer is
// the configuration itself.
SimAnswer ShowConfig(PtyReaderLink& reader, int) {
    return {SimOutcome::Done, HexBytes(Config(reader)) + " "};
}

SimAnswer Status(PtyReaderLink& reader, int) {
    const PtyReaderLink::LineCounts counts = reader.Counts();
    return Done(std::to_string(counts.sent) + " bytes sent to the line, " +
                std::to_string(counts.dropped) + " dropped (the line did not take them)");
}

SimAnswer Help(PtyReaderLink&, int) {
    return {SimOutcome::Done, SimHelp(SimCommands())};
}

SimAnswer Quit(PtyReaderLink&, int) {
    return {SimOutcome::Quit, "ok: quit"};
}

constexpr int kSampleCheques = std::tuple_size_v<decltype(kSampleChequeLines)>;
constexpr int kLongestWaitMs = 60000;

constexpr std::array<SimCommand, 12> kCommands{{
    {"cheque", SimArgument::OptionalNumber, "N", 1, kSampleCheques, 1, "read sample cheque N",
     ReadCheque},
    {"misread", SimArgument::None, "", 0, 0, 0,
     "read a cheque with one character that cannot be read", Misread},
    {"card", SimArgument::None, "", 0, 0, 0, "swipe the sample card", SwipeCard},
    {"silent", SimArgument::Switch, "on|off", 0, 1, 0, "answer nothing", Silent},
    {"refuse", SimArgument::Switch, "on|off", 0, 1, 0, "answer every command with ESC '1'", Refuse},
    {"garbage", SimArgument::Switch, "on|off", 0, 1, 0, "answer with meaningless bytes", Garbage},
    {"slow", SimArgument::Number, "MS", 0, kLongestWaitMs, 0,
     "wait MS milliseconds before each reply", Slow},
    {"split", SimArgument::Number, "MS", 0, kLongestWaitMs, 0,
     "pause MS milliseconds in the middle of each reply", Split},
    {"config", SimArgument::None, "", 0, 0, 0, "print the reader's configuration", ShowConfig},
    {"status", SimArgument::None, "", 0, 0, 0,
     "count the bytes sent to the line and those it did not take", Status},
    {"help", SimArgument::None, "", 0, 0, 0, "list these commands", Help},
    {"quit", SimArgument::None, "", 0, 0, 0, "stop serving the terminal and end at once", Quit},
}};

}  // namespace

SimParse ParseSimLine(std::span<const SimCommand> table, std::string_view line) {
    const std::vector<std::string_view> words = Words(line);
    if (words.empty()) {
        return {};
    }
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const SimCommand& c) { return words[0] == c.name; });
    if (found == table.end()) {
        std::string names;
        for (const SimCommand& c : table) {
            names += (names.empty() ? "" : ", ") + std::string(c.name);
        }
        return {nullptr, 0, "unknown command " + Quoted(words[0]) + "; commands: " + names};
    }
    const SimCommand& command = *found;
    const size_t allowed = command.argument == SimArgument::None ? 1 : 2;
    if (words.size() > allowed) {
        const std::string_view extra(
            words[allowed].data(),
            words.back().data() + words.back().size() - words[allowed].data());
        return Wrong(command,
                     "too many arguments to " + std::string(command.name) + ": " + Quoted(extra));
    }
    if (words.size() == 2) {
        return Value(command, words[1]);
    }
    if (command.argument == SimArgument::Number || command.argument == SimArgument::Switch) {
        return Wrong(command, std::string(command.name) + " needs " + command.argumentName);
    }
    return {&command, command.fallback, ""};
}

std::string SimUsage(const SimCommand& command) {
    std::string text = command.name;
    if (command.argument == SimArgument::OptionalNumber) {
        text += std::string(" [") + command.argumentName + "]";
    } else if (command.argument != SimArgument::None) {
        text += std::string(" ") + command.argumentName;
    }
    return text;
}

std::string SimHelp(std::span<const SimCommand> table) {
    size_t width = 0;
    for (const SimCommand& c : table) {
        width = std::max(width, SimUsage(c).size());
    }
    std::string text = "commands:";
    for (const SimCommand& c : table) {
        const std::string usage = SimUsage(c);
        text += "\n  " + usage + std::string(width + 4 - usage.size(), ' ') + c.help;
        if (Numeric(c.argument)) {
            text += " (" + std::to_string(c.min) + "-" + std::to_string(c.max) + ")";
        }
    }
    return text;
}

std::span<const SimCommand> SimCommands() {
    return kCommands;
}

SimAnswer RunSimLine(PtyReaderLink& reader, std::string_view line) {
    const SimParse parse = ParseSimLine(SimCommands(), line);
    if (parse.command != nullptr) {
        return parse.command->action(reader, parse.value);
    }
    if (!parse.error.empty()) {
        return {SimOutcome::Refused, "error: " + parse.error};
    }
    return {};
}
