// tallisk-serial-sim as a user or a script meets it: commands on its
// standard input, answers on its standard output, the reader on the
// pseudo-terminal it prints, and how it ends.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ReadFormatter.h"
#include "ReaderModel.h"

extern char** environ;

namespace {

using Bytes = std::vector<uint8_t>;

// A guard only, so that a hung program fails the test instead of hanging it.
constexpr int kGuardMs = 30000;

const Bytes kReadConfig = {0x1B, 'R'};
const Bytes kRefusal = {0x1B, '1'};

// The program, its input a pipe (or a terminal) and its output a pipe.
class SimProgram {
  public:
    // With terminalInput, its input is a pseudo-terminal that Type writes to.
    explicit SimProgram(bool terminalInput = false) {
        int in[2] = {-1, -1};
        int out[2] = {-1, -1};
        int childIn = -1;
        if (terminalInput) {
            if (::openpty(&input_, &childIn, nullptr, nullptr, nullptr) != 0) {
                ADD_FAILURE() << "no pseudo-terminal for the input";
                return;
            }
            ::fcntl(input_, F_SETFD, FD_CLOEXEC);
        } else {
            if (::pipe2(in, O_CLOEXEC) != 0) {
                return;
            }
            input_ = in[1];
            childIn = in[0];
        }
        if (::pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        output_ = out[0];
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, childIn, STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
        char* argv[] = {const_cast<char*>(TALLISK_SERIAL_SIM_PROGRAM), nullptr};
        const int error =
            ::posix_spawn(&pid_, TALLISK_SERIAL_SIM_PROGRAM, &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(childIn);
        ::close(out[1]);
        if (error != 0) {
            pid_ = -1;
            ADD_FAILURE() << "cannot start " << TALLISK_SERIAL_SIM_PROGRAM << ": " << error;
        }
    }

    ~SimProgram() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        for (int fd : {input_, output_, reader_}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    SimProgram(const SimProgram&) = delete;
    SimProgram& operator=(const SimProgram&) = delete;

    void Type(const std::string& text) {
        EXPECT_EQ(::write(input_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    void CloseInput() {
        ::close(input_);
        input_ = -1;
    }

    // Waits for the text to come out; gives everything up to and with it.
    std::string Until(const std::string& text) {
        while (output_text_.find(text) == std::string::npos) {
            pollfd p{output_, POLLIN, 0};
            char buffer[4096];
            const ssize_t n =
                ::poll(&p, 1, kGuardMs) == 1 ? ::read(output_, buffer, sizeof buffer) : -1;
            if (n <= 0) {
                ADD_FAILURE() << "no " << ::testing::PrintToString(text) << " in "
                              << ::testing::PrintToString(output_text_);
                return std::exchange(output_text_, "");
            }
            output_text_.append(buffer, static_cast<size_t>(n));
        }
        const size_t end = output_text_.find(text) + text.size();
        std::string taken = output_text_.substr(0, end);
        output_text_.erase(0, end);
        return taken;
    }

    std::string Line() { return Until("\n"); }

    // Reads the banner, which names the terminal.
    void ReadPath() {
        const std::string first = Line();
        const std::string lead = "Simulated reader on ";
        ASSERT_TRUE(first.starts_with(lead)) << first;
        path = first.substr(lead.size(), first.size() - lead.size() - 1);
        EXPECT_EQ(Line(), "Start the utility with TALLISK_COM1=" + path +
                              " tallisk (Connect Mode Serial_9600_8_1), or the command line "
                              "with tallisk-cli --serial " +
                              path + "\n");
    }

    // Reads the banner and opens the terminal it names, as the utility would.
    void OpenReader() {
        ASSERT_NO_FATAL_FAILURE(ReadPath());
        reader_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(reader_, 0) << path;
        termios raw{};
        ::tcgetattr(reader_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(reader_, TCSANOW, &raw);
    }

    // Sends a command to the reader; gives the first count bytes it sends back.
    Bytes Exchange(const Bytes& command, size_t count) {
        EXPECT_EQ(::write(reader_, command.data(), command.size()),
                  static_cast<ssize_t>(command.size()));
        return Receive(count);
    }

    Bytes Receive(size_t count) {
        Bytes bytes;
        while (bytes.size() < count) {
            pollfd p{reader_, POLLIN, 0};
            uint8_t b[256];
            if (::poll(&p, 1, kGuardMs) != 1) {
                ADD_FAILURE() << "the reader sent " << bytes.size() << " of " << count << " bytes";
                break;
            }
            const ssize_t n = ::read(reader_, b, std::min(sizeof b, count - bytes.size()));
            if (n <= 0) {
                break;
            }
            bytes.insert(bytes.end(), b, b + n);
        }
        return bytes;
    }

    void Signal(int signal) const { ::kill(pid_, signal); }

    // The exit status, or nothing when it was killed or never ended within
    // the limit.
    std::optional<int> Ended(int limitMs = kGuardMs) {
        int status = 0;
        for (int waited = 0; ::waitpid(pid_, &status, WNOHANG) == 0; waited += 10) {
            if (waited >= limitMs) {
                return std::nullopt;  // the destructor kills it
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        pid_ = -1;
        if (!WIFEXITED(status)) {
            return std::nullopt;
        }
        return WEXITSTATUS(status);
    }

    std::string path;

  private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    int reader_ = -1;
    std::string output_text_;
};

TEST(SerialSimProgram, AnswersEachLineAndKeepsServingAfterItsInputCloses) {
    SimProgram sim;
    ASSERT_NO_FATAL_FAILURE(sim.OpenReader());

    // Each wrong line gets one line saying why, and changes nothing.
    const struct {
        const char* line;
        const char* why;
    } wrong[] = {
        {"cheque 9", "error: 9 is out of range; usage: cheque [N], N from 1 to 3"},
        {"slow abc", "error: 'abc' is not a number; usage: slow MS, MS from 0 to 60000"},
        {"silent maybe", "error: 'maybe' is neither on nor off; usage: silent on|off"},
        {"refuse", "error: refuse needs on|off; usage: refuse on|off"},
        {"garbage on please", "error: too many arguments to garbage: 'please'"},
        {"card now", "error: too many arguments to card: 'now'; usage: card"},
        {"reset", "error: unknown command 'reset'; commands: cheque, misread, card, "},
    };
    for (const auto& w : wrong) {
        sim.Type(std::string(w.line) + "\n");
        EXPECT_TRUE(sim.Line().starts_with(w.why)) << w.line;
    }
    // Nothing was sent, nor does the reader stay silent, refuse or babble: the
    // first bytes on the line are its configuration.
    const ConfigBlock config = ReaderModel::DefaultConfig();
    EXPECT_EQ(sim.Exchange(kReadConfig, config.size()), Bytes(config.begin(), config.end()));

    sim.Type("cheque 2\n");
    EXPECT_EQ(sim.Line(), "ok: read sample cheque 2\n");
    const Bytes cheque = FormatChequeRead(config, kSampleChequeLines[1]);
    EXPECT_EQ(sim.Receive(cheque.size()), cheque);
    sim.Type("\nrefuse on\n");
    EXPECT_EQ(sim.Line(), "ok: refuse on\n") << "a blank line gets no answer";
    EXPECT_EQ(sim.Exchange(kReadConfig, kRefusal.size()), kRefusal);

    // At the end of its input it says so and the reader goes on answering.
    sim.CloseInput();
    EXPECT_EQ(sim.Line(), "input closed; still serving " + sim.path +
                              " until interrupted (SIGINT or SIGTERM)\n");
    EXPECT_EQ(sim.Exchange(kReadConfig, kRefusal.size()), kRefusal);
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Line(), "interrupted by SIGTERM; stopped serving " + sim.path + "\n");
    EXPECT_EQ(sim.Ended(), std::optional<int>(0));
}

TEST(SerialSimProgram, EitherSignalEndsItWithSuccessWhileItWaitsForInput) {
    for (const auto& [signal, name] :
         {std::pair{SIGINT, "SIGINT"}, std::pair{SIGTERM, "SIGTERM"}}) {
        SimProgram sim;
        ASSERT_NO_FATAL_FAILURE(sim.OpenReader());
        sim.Signal(signal);
        EXPECT_EQ(sim.Line(),
                  std::string("interrupted by ") + name + "; stopped serving " + sim.path + "\n");
        EXPECT_EQ(sim.Ended(), std::optional<int>(0)) << name;
    }
}

TEST(SerialSimProgram, QuitEndsItWhileAReplyWaitsOutALongDelay) {
    const struct {
        const char* setting;
        const char* answer;
        size_t before;  // bytes of the reply that come before the wait
    } cases[] = {
        // The reader takes the command as soon as it is written, well before
        // quit has made its way through the program's input.
        {"slow 60000", "ok: each reply waits 60000 ms\n", 0},
        // Half the reply comes out: the reader is surely inside its pause.
        {"split 60000", "ok: each reply pauses 60000 ms in the middle\n", 12},
    };
    for (const auto& c : cases) {
        SimProgram sim;
        ASSERT_NO_FATAL_FAILURE(sim.OpenReader());
        sim.Type(std::string(c.setting) + "\n");
        EXPECT_EQ(sim.Line(), c.answer);
        const ConfigBlock config = ReaderModel::DefaultConfig();
        EXPECT_EQ(sim.Exchange(kReadConfig, c.before),
                  Bytes(config.begin(), config.begin() + c.before));
        sim.Type("quit\n");
        EXPECT_EQ(sim.Line(), "ok: quit\n");
        // Ended gives up long before the reply would have gone out.
        EXPECT_EQ(sim.Ended(), std::optional<int>(0)) << c.setting;
    }
}

TEST(SerialSimProgram, APersonAtATerminalGetsTheCommandsAndAPrompt) {
    SimProgram sim(true);
    ASSERT_NO_FATAL_FAILURE(sim.OpenReader());
    EXPECT_EQ(sim.Line(), "commands:\n");
    sim.Until("tallisk-serial-sim> ");
    sim.Type("card\n");
    EXPECT_EQ(sim.Line(), "ok: swiped the sample card\n");
    EXPECT_EQ(sim.Until("> "), "tallisk-serial-sim> ");
    sim.Type("quit\n");
    EXPECT_EQ(sim.Line(), "ok: quit\n");
    EXPECT_EQ(sim.Ended(), std::optional<int>(0));
}

TEST(SerialSimProgram, ReadsTheLineDoesNotTakeAreDroppedAndItStillAnswersAndEnds) {
    // Far more than a terminal holds: the first reads fill it, the rest are
    // dropped.
    constexpr int kReads = 2000;
    for (const bool clientOpen : {false, true}) {
        SCOPED_TRACE(clientOpen ? "a program that does not read" : "nobody on the line");
        SimProgram sim;
        if (clientOpen) {
            ASSERT_NO_FATAL_FAILURE(sim.OpenReader());
        } else {
            ASSERT_NO_FATAL_FAILURE(sim.ReadPath());
        }
        std::string reads;
        for (int i = 0; i < kReads; ++i) {
            reads += "cheque\n";
        }
        sim.Type(reads);
        int dropped = 0;
        for (int i = 0; i < kReads; ++i) {
            const std::string answer = sim.Line();
            ASSERT_TRUE(answer.starts_with("ok: read sample cheque 1")) << i << ": " << answer;
            dropped += answer.find("the rest was dropped") != std::string::npos ? 1 : 0;
        }
        EXPECT_GT(dropped, 0);
        sim.Type("status\n");
        const std::string status = sim.Line();
        EXPECT_TRUE(status.starts_with("ok: ")) << status;
        EXPECT_EQ(status.find(" 0 dropped"), std::string::npos) << status;
        const auto signalled = std::chrono::steady_clock::now();
        sim.Signal(SIGTERM);
        EXPECT_EQ(sim.Ended(10000), std::optional<int>(0));
        std::printf("ended %lld ms after SIGTERM\n",
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                               std::chrono::steady_clock::now() - signalled)
                                               .count()));
    }
}

TEST(SerialSimProgram, ALineTooLongIsRefusedWholeAndChangesNothing) {
    SimProgram sim;
    ASSERT_NO_FATAL_FAILURE(sim.OpenReader());
    const std::string refusal = "error: a line longer than 1024 bytes; nothing done\n";
    const struct {
        std::string line;
        const char* answer;  // how the answer begins
    } cases[] = {
        {"silent on" + std::string(1100, ' '), refusal.c_str()},
        {"refuse on" + std::string(1 << 20, ' '), refusal.c_str()},  // many reads long
        {std::string(1024 - 9, ' ') + "garbage on", refusal.c_str()},
        {std::string(1024 - 9, ' ') + "card", "ok: swiped the sample card\n"},
    };
    for (const auto& c : cases) {
        sim.Type(c.line + "\n");
        EXPECT_TRUE(sim.Line().starts_with(c.answer)) << c.line.size();
    }
    const Bytes card = FormatCardRead(ReaderModel::DefaultConfig(), kSampleCardTracks);
    EXPECT_EQ(sim.Receive(card.size()), card);
    // The reader is neither silent, refusing nor babbling.
    const ConfigBlock config = ReaderModel::DefaultConfig();
    EXPECT_EQ(sim.Exchange(kReadConfig, config.size()), Bytes(config.begin(), config.end()));
    sim.Type("quit\n");
    EXPECT_EQ(sim.Line(), "ok: quit\n");
    EXPECT_EQ(sim.Ended(), std::optional<int>(0));
}

// Opens the path and closes it as a normal user: 0, or the open's errno.
// Run as root, a child that has become nobody opens it; -1 when it cannot.
int OpenAsNormalUser(const std::string& path, const passwd* nobody) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (nobody == nullptr || ::setgroups(0, nullptr) != 0 ||
                                 ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)) {
            ::_exit(255);
        }
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::_exit(fd < 0 ? errno : 0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) == 255) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// A program that opens the line, takes it for itself as the utility does,
// and waits to be killed.
pid_t HoldExclusively(const std::string& path) {
    int ready[2] = {-1, -1};
    if (::pipe(ready) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        const char held = fd >= 0 && ::ioctl(fd, TIOCEXCL) == 0 ? 'y' : 'n';
        [[maybe_unused]] const ssize_t n = ::write(ready[1], &held, 1);
        while (true) {
            ::pause();
        }
    }
    ::close(ready[1]);
    char held = 'n';
    pollfd p{ready[0], POLLIN, 0};
    if (child > 0 && (::poll(&p, 1, kGuardMs) != 1 || ::read(ready[0], &held, 1) != 1)) {
        held = 'n';
    }
    ::close(ready[0]);
    if (child > 0 && held != 'y') {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        return -1;
    }
    return child;
}

TEST(SerialSimProgram, TheLineOpensForTheNextProgramHoweverTheOneBeforeEnded) {
    SimProgram sim;
    ASSERT_NO_FATAL_FAILURE(sim.ReadPath());
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() == 0) {
        // The line as a normal user's simulator would have it: that user's.
        if (nobody == nullptr || ::chown(sim.path.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
            GTEST_SKIP() << "no normal user to open the line as";
        }
    }
    if (OpenAsNormalUser(sim.path, nobody) != 0) {
        GTEST_SKIP() << "a normal user cannot open " << sim.path;
    }
    for (const int end : {SIGKILL, SIGTERM, SIGKILL}) {
        SCOPED_TRACE(end == SIGKILL ? "SIGKILL" : "SIGTERM");
        const pid_t holder = HoldExclusively(sim.path);
        ASSERT_GT(holder, 0);
        // One program per line while it holds it.
        EXPECT_EQ(OpenAsNormalUser(sim.path, nobody), EBUSY);
        ::kill(holder, end);
        ::waitpid(holder, nullptr, 0);
        // The simulator clears the flag once it sees the line let go.
        int opened = -1;
        for (int waited = 0; waited < 10000 && opened != 0; waited += 10) {
            opened = OpenAsNormalUser(sim.path, nobody);
            if (opened != 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        EXPECT_EQ(opened, 0) << std::strerror(opened);
    }
    sim.Type("status\n");
    EXPECT_TRUE(sim.Line().starts_with("ok: ")) << "still serving";
}

}  // namespace
