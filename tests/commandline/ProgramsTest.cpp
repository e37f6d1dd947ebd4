// Runs the built programs as a user would, without a display, and checks
// what they print and how they end.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TextLines.h"

extern char** environ;

namespace {

constexpr const char* kVersion = TALLISK_EXPECTED_VERSION;

struct Program {
    const char* name;
    const char* path;
};

const Program kUtility{"tallisk", TALLISK_PROGRAM};
const Program kDemo{"tallisk-demo", TALLISK_DEMO_PROGRAM};
const Program kSerialSim{"tallisk-serial-sim", TALLISK_SERIAL_SIM_PROGRAM};

struct Ended {
    bool exited = false;  // false: killed by a signal (Qt's abort), or hung
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the program with the given options, its input empty, no display in
// its environment but the extra variables, and QT_QPA_PLATFORM as given
// (unset when empty).
Ended RunProgram(const Program& program, const std::vector<std::string>& options,
                 const std::string& platform = "", const std::vector<std::string>& extra = {}) {
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (name != "DISPLAY" && name != "WAYLAND_DISPLAY" && name != "QT_QPA_PLATFORM" &&
            name != "XDG_SESSION_TYPE" && name != "XDG_RUNTIME_DIR") {
            environment.push_back(entry);
        }
    }
    if (!platform.empty()) {
        environment.push_back("QT_QPA_PLATFORM=" + platform);
    }
    environment.insert(environment.end(), extra.begin(), extra.end());
    std::vector<char*> envp;
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> args{program.path};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    const std::string base = ::testing::TempDir() + "program-" + std::to_string(::getpid());
    const std::string outPath = base + ".out";
    const std::string errPath = base + ".err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.path, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    Ended ended;
    if (error != 0) {
        ADD_FAILURE() << "cannot start " << program.path << ": " << error;
        return ended;
    }
    // A guard only: every case ends at once unless it opened a window.
    int wait = 0;
    for (int tries = 0; ::waitpid(pid, &wait, WNOHANG) == 0; ++tries) {
        if (tries == 6000) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &wait, 0);
            ADD_FAILURE() << program.name << " did not end";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ended.exited = WIFEXITED(wait);
    ended.status = ended.exited ? WEXITSTATUS(wait) : -1;
    ended.out = ReadAll(outPath);
    ended.err = ReadAll(errPath);
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    return ended;
}

TEST(Programs, HelpListsEveryOptionWithoutADisplay) {
    const struct {
        Program program;
        std::vector<std::string> options;
    } cases[] = {
        {kUtility, {"--serial-port PATH", "--trace", "--help", "--version"}},
        {kDemo, {"--tour DIR", "--help", "--version"}},
        {kSerialSim, {"--help", "--version"}},
    };
    for (const auto& c : cases) {
        const Ended ended = RunProgram(c.program, {"--help"});
        EXPECT_TRUE(ended.exited) << c.program.name;
        EXPECT_EQ(ended.status, 0) << c.program.name;
        EXPECT_EQ(ended.err, "") << c.program.name;
        const std::vector<std::string> lines = Lines(ended.out);
        ASSERT_FALSE(lines.empty()) << c.program.name;
        EXPECT_EQ(lines.front(), std::string("Usage: ") + c.program.name + " [OPTION]...");
        EXPECT_TRUE(lines.back().starts_with("Exit status: 0")) << lines.back();
        int listed = 0;
        for (const std::string& line : lines) {
            listed += line.starts_with("  --") ? 1 : 0;
        }
        EXPECT_EQ(listed, static_cast<int>(c.options.size())) << ended.out;
        for (const std::string& option : c.options) {
            const std::string start = "  " + option + "  ";
            int found = 0;
            for (const std::string& line : lines) {
                found += line.starts_with(start) && line.size() > start.size() ? 1 : 0;
            }
            EXPECT_EQ(found, 1) << c.program.name << ": " << option;
        }
    }
}

TEST(Programs, EndWithTheirStatusAndNeverAbort) {
    const std::string noDisplay = "no display: set DISPLAY or WAYLAND_DISPLAY, or ";
    const struct {
        Program program;
        std::vector<std::string> options;
        std::string platform;  // QT_QPA_PLATFORM, empty for unset
        int status;
        std::string out;  // the whole standard output
        std::string err;  // how standard error begins; empty: nothing on it
    } cases[] = {
        {kUtility, {"--version"}, "", 0, "tallisk " + std::string(kVersion) + "\n", ""},
        {kDemo, {"--version"}, "", 0, "tallisk-demo " + std::string(kVersion) + "\n", ""},
        {kSerialSim,
         {"--version"},
         "",
         0,
         "tallisk-serial-sim " + std::string(kVersion) + "\n",
         ""},
        // A window program without a display says so instead of letting Qt abort.
        {kUtility, {}, "", 2, "", "tallisk: " + noDisplay},
        {kUtility, {"--trace", "--serial-port", "/dev/null"}, "", 2, "", "tallisk: " + noDisplay},
        {kUtility, {}, "xcb", 2, "", "tallisk: " + noDisplay},
        {kUtility, {}, "wayland", 2, "", "tallisk: " + noDisplay},
        {kDemo, {}, "", 2, "", "tallisk-demo: " + noDisplay},
        {kDemo, {"--tour", "dir"}, "xcb", 2, "", "tallisk-demo: " + noDisplay},
        // A wrong command line is a usage error, display or not.
        {kUtility, {"--no-such-option"}, "", 64, "", "tallisk: unknown option --no-such-option\n"},
        {kUtility,
         {"--no-such-option"},
         "offscreen",
         64,
         "",
         "tallisk: unknown option --no-such-option\n"},
        {kUtility, {"--serial-port"}, "", 64, "", "tallisk: option --serial-port needs a value"},
        {kUtility, {"--trace=on"}, "", 64, "", "tallisk: option --trace takes no value\n"},
        {kUtility, {"--tour", "dir"}, "", 64, "", "tallisk: unknown option --tour\n"},
        {kUtility, {"COM1"}, "", 64, "", "tallisk: unexpected argument COM1\n"},
        {kDemo,
         {"--no-such-option"},
         "",
         64,
         "",
         "tallisk-demo: unknown option --no-such-option\n"},
        {kDemo, {"--tour"}, "", 64, "", "tallisk-demo: option --tour needs a value"},
        {kDemo,
         {"--serial-port", "/dev/null"},
         "",
         64,
         "",
         "tallisk-demo: unknown option --serial-port\n"},
        {kSerialSim,
         {"--no-such-option"},
         "",
         64,
         "",
         "tallisk-serial-sim: unknown option --no-such-option\n"},
        {kSerialSim, {"quit"}, "", 64, "", "tallisk-serial-sim: unexpected argument quit\n"},
    };
    for (const auto& c : cases) {
        const std::string shown = std::string(c.program.name) + " " +
                                  ::testing::PrintToString(c.options) +
                                  " QT_QPA_PLATFORM=" + c.platform;
        const Ended ended = RunProgram(c.program, c.options, c.platform);
        EXPECT_TRUE(ended.exited) << shown << "\n" << ended.err;
        EXPECT_EQ(ended.status, c.status) << shown << "\n" << ended.err;
        EXPECT_EQ(ended.out, c.out) << shown;
        if (c.err.empty()) {
            EXPECT_EQ(ended.err, "") << shown;
        } else {
            EXPECT_TRUE(ended.err.starts_with(c.err)) << shown << "\n" << ended.err;
        }
        if (c.status == 2) {
            EXPECT_EQ(Lines(ended.err).size(), 1u) << shown << "\n" << ended.err;
        }
        if (c.status == 64) {
            EXPECT_NE(ended.err.find(std::string("Usage: ") + c.program.name), std::string::npos)
                << shown << "\n"
                << ended.err;
        }
    }
}

// A display that is named but does not answer is no display either: the
// window programs say so in one line with status 2 before Qt can abort.
TEST(Programs, ADisplayThatDoesNotAnswerIsNoDisplay) {
    const std::string runtime = "XDG_RUNTIME_DIR=" + ::testing::TempDir();
    const struct {
        Program program;
        std::string platform;
        std::vector<std::string> environment;
        std::string says;
    } cases[] = {
        {kUtility, "", {"DISPLAY=:4711"}, "no X server answers at DISPLAY=:4711"},
        {kUtility, "xcb", {"DISPLAY=:4711"}, "no X server answers at DISPLAY=:4711"},
        {kUtility, "", {"WAYLAND_DISPLAY=nonexist", runtime}, "no Wayland compositor answers"},
        {kUtility, "", {"WAYLAND_DISPLAY=nonexist", "XDG_RUNTIME_DIR="}, "needs XDG_RUNTIME_DIR"},
        {kUtility, "wayland", {"WAYLAND_DISPLAY=nonexist", runtime}, "no Wayland compositor"},
        {kUtility,
         "",
         {"DISPLAY=:4711", "XDG_SESSION_TYPE=wayland", runtime},
         "no X server answers at DISPLAY=:4711"},
        {kDemo, "", {"DISPLAY=:4711", "WAYLAND_DISPLAY=nonexist", runtime}, "no Wayland"},
    };
    for (const auto& c : cases) {
        const std::string shown = std::string(c.program.name) + " " +
                                  ::testing::PrintToString(c.environment) +
                                  " QT_QPA_PLATFORM=" + c.platform;
        const Ended ended = RunProgram(c.program, {}, c.platform, c.environment);
        EXPECT_TRUE(ended.exited) << shown << "\n" << ended.err;
        EXPECT_EQ(ended.status, 2) << shown << "\n" << ended.err;
        EXPECT_TRUE(ended.err.starts_with(std::string(c.program.name) + ": no display: "))
            << shown << "\n"
            << ended.err;
        EXPECT_NE(ended.err.find(c.says), std::string::npos) << shown << "\n" << ended.err;
        EXPECT_EQ(Lines(ended.err).size(), 1u) << shown << "\n" << ended.err;
    }
}

}  // namespace
