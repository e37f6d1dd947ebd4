#include <gtest/gtest.h>

#include <array>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "TextLines.h"

#include "commandline/CommandLine.h"

namespace {

constexpr std::array<OptionSpec, 3> kOptions{{
    {"port", "PATH", "the port"},
    {"trace", nullptr, "trace it"},
    {"dir", "DIR", "a directory"},
}};

constexpr ProgramSpec kProgram{"prog", "Does things.", kOptions, "Exit status: 0, or 64."};

using Given = std::map<std::string, std::string, std::less<>>;
using Outcome = CommandLineOutcome;

CommandLine Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "prog");
    return ParseCommandLine(kOptions, static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, ReadsOptionsAndTheOutcome) {
    const struct {
        std::vector<const char*> args;
        Outcome outcome;
        Given given;
    } cases[] = {
        {{}, Outcome::Run, {}},
        {{"--trace"}, Outcome::Run, {{"trace", ""}}},
        {{"--port", "/dev/ttyUSB0"}, Outcome::Run, {{"port", "/dev/ttyUSB0"}}},
        {{"--port=/dev/ttyUSB0"}, Outcome::Run, {{"port", "/dev/ttyUSB0"}}},
        {{"--port=a=b"}, Outcome::Run, {{"port", "a=b"}}},
        {{"--port", "-"}, Outcome::Run, {{"port", "-"}}},
        {{"--port=--odd"}, Outcome::Run, {{"port", "--odd"}}},
        {{"--port", "a", "--port", "b"}, Outcome::Run, {{"port", "b"}}},
        {{"--trace", "--dir", "d", "--port", "p"},
         Outcome::Run,
         {{"trace", ""}, {"dir", "d"}, {"port", "p"}}},
        {{"--help"}, Outcome::Help, {{"help", ""}}},
        {{"--version"}, Outcome::Version, {{"version", ""}}},
        {{"--version", "--help"}, Outcome::Help, {{"help", ""}, {"version", ""}}},
        {{"--trace", "--version"}, Outcome::Version, {{"trace", ""}, {"version", ""}}},
    };
    for (const auto& c : cases) {
        const std::string shown = ::testing::PrintToString(c.args);
        const CommandLine line = Parse(c.args);
        EXPECT_EQ(line.outcome, c.outcome) << shown;
        EXPECT_EQ(line.given, c.given) << shown;
        EXPECT_EQ(line.error, "") << shown;
    }
}

TEST(CommandLine, TheFirstWrongArgumentIsAUsageError) {
    const struct {
        std::vector<const char*> args;
        const char* error;
    } cases[] = {
        {{"--bogus"}, "unknown option --bogus"},
        {{"--bogus=1"}, "unknown option --bogus"},
        {{"--help", "--bogus"}, "unknown option --bogus"},
        {{"--bogus", "--help"}, "unknown option --bogus"},
        {{"--"}, "unknown option --"},
        {{"-h"}, "unknown option -h"},
        {{"-"}, "unknown option -"},
        {{"--Trace"}, "unknown option --Trace"},
        {{"--tr"}, "unknown option --tr"},
        {{"file"}, "unexpected argument file"},
        {{"--trace", "file"}, "unexpected argument file"},
        {{"--port"}, "option --port needs a value: PATH"},
        {{"--port="}, "option --port needs a value: PATH"},
        {{"--port", ""}, "option --port needs a value: PATH"},
        {{"--port", "--trace"}, "option --port needs a value: PATH"},
        {{"--trace=yes"}, "option --trace takes no value"},
        {{"--help=1"}, "option --help takes no value"},
    };
    for (const auto& c : cases) {
        const std::string shown = ::testing::PrintToString(c.args);
        const CommandLine line = Parse(c.args);
        EXPECT_EQ(line.outcome, Outcome::UsageError) << shown;
        EXPECT_EQ(line.error, c.error) << shown;
    }
}

TEST(CommandLine, ValueIsEmptyForAnOptionNotGiven) {
    const CommandLine line = Parse({"--port", "p"});
    EXPECT_TRUE(line.Has("port"));
    EXPECT_EQ(line.Value("port"), "p");
    EXPECT_FALSE(line.Has("dir"));
    EXPECT_EQ(line.Value("dir"), "");
}

TEST(CommandLine, HelpListsEveryOptionOnALineAndEndsWithTheExitStatus) {
    const std::vector<std::string> lines = Lines(HelpText(kProgram));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Usage: prog [OPTION]...");
    EXPECT_EQ(lines[1], "Does things.");
    EXPECT_EQ(lines.back(), "Exit status: 0, or 64.");
    // Each option once, its help on the same line and in one column.
    const struct {
        const char* shown;
        const char* help;
    } options[] = {
        {"--port PATH", "the port"},
        {"--trace", "trace it"},
        {"--dir DIR", "a directory"},
        {"--help", "print this help and exit"},
        {"--version", "print the program's name and version and exit"},
    };
    size_t column = 0;
    for (const auto& o : options) {
        const std::string start = std::string("  ") + o.shown + " ";
        int found = 0;
        for (const std::string& line : lines) {
            if (line.starts_with(start)) {
                ++found;
                const size_t at = line.find(o.help, start.size());
                ASSERT_NE(at, std::string::npos) << line;
                EXPECT_EQ(line.size(), at + std::string(o.help).size()) << line;
                column = column == 0 ? at : column;
                EXPECT_EQ(at, column) << line;
            }
        }
        EXPECT_EQ(found, 1) << o.shown;
    }
}

TEST(CommandLine, VersionIsTheProgramAndTheProjectVersion) {
    EXPECT_EQ(VersionText(kProgram), "prog " TALLISK_EXPECTED_VERSION "\n");
}

TEST(CommandLine, UsageSaysWhatWasWrongAndEveryOption) {
    EXPECT_EQ(UsageText(kProgram, "unknown option --bogus"),
              "prog: unknown option --bogus\n"
              "Usage: prog [--port PATH] [--trace] [--dir DIR] [--help] [--version]\n");
}

}  // namespace
