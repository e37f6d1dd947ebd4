#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "cli/CliArguments.h"
#include "cli/CliHelp.h"
#include "cli/SendKeys.h"
#include "protocol/CommandFrames.h"
#include "protocol/CommandSet.h"

namespace {

CliInvocation Parse(std::vector<std::string> words) {
    std::vector<const char*> argv = {"tallisk-cli"};
    for (const std::string& w : words) {
        argv.push_back(w.c_str());
    }
    return ParseCli(static_cast<int>(argv.size()), argv.data());
}

// The arguments that make a command whole, so that only the option decides.
std::vector<std::string> WholeCommand(const CliCommand& command) {
    std::vector<std::string> words = {command.name};
    if (command.minArguments > 0) {
        words.emplace_back("file.json");
    }
    return words;
}

std::vector<std::string> WithOption(const CliOption& option) {
    std::vector<std::string> words = {std::string("--") + option.name};
    if (option.valueName != nullptr) {
        words.emplace_back("3");
    }
    return words;
}

// Every command with every option there is: its own and the global ones are
// taken, before or after it; any other is a usage error that says whose it is.
TEST(CliArguments, EveryCommandWithEveryOption) {
    std::vector<const CliOption*> all;
    for (const CliOption& o : GlobalOptions()) {
        all.push_back(&o);
    }
    for (const CliCommand& c : CliCommands()) {
        for (const CliOption& o : c.options) {
            all.push_back(&o);
        }
    }
    const std::set<std::string> readerOptions = {"device", "serial", "all", "trace"};
    for (const CliCommand& command : CliCommands()) {
        for (const CliOption* option : all) {
            const bool own = option >= command.options.data() &&
                             option < command.options.data() + command.options.size();
            const bool global = !own && option >= GlobalOptions().data() &&
                                option < GlobalOptions().data() + GlobalOptions().size();
            const bool accepted =
                own || (global && (command.onReader || readerOptions.count(option->name) == 0));
            for (const bool before : {false, true}) {
                std::vector<std::string> words = WholeCommand(command);
                const std::vector<std::string> given = WithOption(*option);
                words.insert(before ? words.begin() : words.end(), given.begin(), given.end());
                const CliInvocation line = Parse(words);
                const std::string shown = ::testing::PrintToString(words);
                EXPECT_EQ(line.error.empty(), accepted) << shown << ": " << line.error;
                if (accepted) {
                    EXPECT_EQ(line.command, &command) << shown;
                    EXPECT_TRUE(line.Has(option->name)) << shown;
                } else {
                    EXPECT_NE(line.error.find(std::string("--") + option->name), std::string::npos)
                        << shown << ": " << line.error;
                }
            }
        }
    }
}

TEST(CliArguments, WhatIsWrongIsSaid) {
    const struct {
        std::vector<std::string> words;
        const char* error;  // a part of the message
    } cases[] = {
        {{}, "a command is needed"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"read", "extra"}, "read takes no argument, and 'extra' was given"},
        {{"write"}, "write needs FILE|-"},
        {{"write", "a.json", "b.json"}, "'b.json' is one too many"},
        {{"--device", "X", "--serial", "P", "read"}, "--device and --serial name two readers"},
        {{"--all", "--device", "X", "read"}, "--device and --all name two readers"},
        {{"read", "--json", "--json"}, "--json is given twice"},
        {{"watch", "--count", "1", "--count=2"}, "--count is given twice"},
        {{"--force", "read"}, "--force is an option of write, not of read"},
        {{"read", "--bogus"}, "unknown option --bogus"},
        {{"read", "-x"}, "unknown option -x"},
        {{"read", "-hV"}, "short options stand alone"},
        {{"watch", "--count"}, "--count needs a value: N"},
        {{"watch", "--count", "--json"}, "--count needs a value: N"},
        {{"read", "--json=1"}, "--json takes no value"},
        {{"list", "--serial", "P"}, "--serial concerns a reader, and list works on none"},
    };
    for (const auto& c : cases) {
        const CliInvocation line = Parse(c.words);
        EXPECT_NE(line.error.find(c.error), std::string::npos)
            << ::testing::PrintToString(c.words) << ": " << line.error;
    }
}

TEST(CliArguments, HelpAndVersionAndTheOptionsOfTheLine) {
    const struct {
        std::vector<std::string> words;
        bool help;
        bool version;
        const char* command;
    } cases[] = {
        {{"-h"}, true, false, nullptr},
        {{"--help"}, true, false, nullptr},
        {{"-V"}, false, true, nullptr},
        {{"--version"}, false, true, nullptr},
        {{"read", "--help"}, true, false, "read"},
        {{"-h", "write"}, true, false, "write"},
        {{"send", "MSR_Read_Limit", "--help"}, true, false, "send"},
    };
    for (const auto& c : cases) {
        const CliInvocation line = Parse(c.words);
        const std::string shown = ::testing::PrintToString(c.words);
        EXPECT_TRUE(line.error.empty()) << shown << ": " << line.error;
        EXPECT_EQ(line.help, c.help) << shown;
        EXPECT_EQ(line.version, c.version) << shown;
        EXPECT_EQ(line.command == nullptr ? std::string() : line.command->name,
                  c.command == nullptr ? std::string() : c.command)
            << shown;
    }
    const CliInvocation line = Parse({"--serial=/dev/ttyS1", "write", "--", "-"});
    EXPECT_TRUE(line.error.empty()) << line.error;
    EXPECT_EQ(line.Value("serial"), "/dev/ttyS1");
    EXPECT_EQ(line.arguments, (std::vector<std::string>{"-"}));
}

// send COMMAND --help lists exactly the keys the command's frame is built
// from, and the frame built from its example is the command's.
TEST(SendKeys, EachCommandsHelpListsTheKeysItsFrameIsMadeOf) {
    for (int32_t type = 0; type < kCommandCount; ++type) {
        const std::string name = kCommandSet[static_cast<size_t>(type)].name;
        if (type == kDeviceTypeSetup) {
            EXPECT_EQ(FindSendCommand(name), kNoCommand);
            continue;
        }
        ASSERT_EQ(FindSendCommand(name), type) << name;
        const std::string help = SendCommandHelp(type);
        std::set<std::string> listed;
        for (size_t at = help.find("\n  "); at != std::string::npos;
             at = help.find("\n  ", at + 1)) {
            const size_t eq = help.find('=', at);
            const size_t end = help.find('\n', at + 1);
            if (eq != std::string::npos && eq < end && help.compare(at + 3, 4, "     ") != 0 &&
                help.compare(at + 3, 11, "tallisk-cli") != 0) {
                listed.insert(help.substr(at + 3, eq - at - 3));
            }
        }
        std::set<std::string> carried;
        for (const SettingRow* row : FrameSettings(type)) {
            carried.insert(row->key);
        }
        EXPECT_EQ(listed, carried) << help;

        // The example's words, taken as the command line takes them.
        const std::string example = SendExample(type);
        std::vector<std::string> words;
        for (size_t at = example.find(name) + name.size(); at < example.size();) {
            const size_t next = example.find(' ', at + 1);
            words.push_back(
                example.substr(at + 1, next == std::string::npos ? next : next - at - 1));
            at = next;
        }
        DeviceSettings settings;
        EXPECT_EQ(TakeSendSettings(type, words, false, settings), "") << example;
        const BuiltFrame frame = BuildCommandFrame(type, Configuration{settings, {}, {}});
        ASSERT_EQ(frame.lack, BuiltFrame::Lack::None) << example;
        EXPECT_EQ(frame.bytes[1], kCommandSet[static_cast<size_t>(type)].letter) << example;
        EXPECT_EQ(frame.bytes.size(), carried.empty() ? 2u : 3u) << example;
    }
}

TEST(SendKeys, MissingUnknownAndWrongKeysAreNamed) {
    const struct {
        std::vector<std::string> words;
        bool fromFile;
        const char* error;
    } cases[] = {
        {{}, false, "missing: track1Limit, track2Limit, track3Limit"},
        {{"track1Limit=true"}, false, "missing: track2Limit, track3Limit"},
        {{}, true, ""},
        {{"track2Limit=true"}, true, ""},
        {{"speed=fast"},
         false,
         "unknown setting 'speed': MSR_Read_Limit carries track1Limit, "
         "track2Limit, track3Limit"},
        {{"track1Limit=yes"}, false, "track1Limit cannot be 'yes': it is one of false, true"},
        {{"track1Limit"}, false, "track1Limit needs a value"},
        {{"track1Limit=true", "track1Limit=false"}, false, "track1Limit is given twice"},
    };
    for (const auto& c : cases) {
        DeviceSettings settings;
        const std::string error = TakeSendSettings(kMsrReadLimit, c.words, c.fromFile, settings);
        const std::string shown = ::testing::PrintToString(c.words);
        if (*c.error == '\0') {
            EXPECT_EQ(error, "") << shown;
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << shown << ": " << error;
        }
    }
}

}  // namespace
