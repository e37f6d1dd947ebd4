// What tallisk-cli takes as a configuration file: regular files and standard
// input up to 1 MiB, refused whole otherwise before any reader is opened. The
// reader is a line that does not exist, so a file that is taken ends with 69
// (no reader) and one that is refused with 64 and why.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <string>
#include <vector>

#include "config/ConfigFile.h"
#include "sim/ReaderModel.h"

namespace {

constexpr int kLimitMs = 30000;
constexpr size_t kMiB = 1024 * 1024;

struct Ended {
    bool finished = false;
    int status = -1;
    std::string err;
};

std::string GoodFile() {
    const Configuration c = DecodeConfiguration(ReaderModel::DefaultConfig());
    return WriteConfigFile(c.settings, c.codes, nullptr);
}

// "write ARG" through /bin/sh, so that standard input can be any redirection
// or pipe the case names.
Ended Write(const std::string& arg, const std::string& input) {
    QProcess process;
    const std::string script = input + " \"$0\" --serial /dev/no-such-line write \"$1\"";
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QString::fromStdString(script),
                   QStringLiteral(TALLISK_CLI), QString::fromStdString(arg)});
    Ended ended;
    ended.finished = process.waitForFinished(kLimitMs);
    if (!ended.finished) {
        process.kill();
        process.waitForFinished(kLimitMs);
    }
    ended.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    ended.err = process.readAllStandardError().toStdString();
    return ended;
}

class FileInput : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    std::string Path(const char* name) const {
        return dir.filePath(QString::fromLatin1(name)).toStdString();
    }

    std::string File(const char* name, const std::string& text) const {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    QTemporaryDir dir;
};

TEST_F(FileInput, OnlyRegularFilesAndStandardInputUpTo1MiBAreTaken) {
    const std::string good = GoodFile();
    // Exactly the bound is taken; a byte more is not.
    const std::string full = File("full.json", good + std::string(kMiB - good.size(), ' '));
    const std::string over = File("over.json", good + std::string(kMiB + 1 - good.size(), ' '));
    const std::string goodPath = File("good.json", good);
    const std::string fifo = Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = dir.path().toStdString();

    const struct {
        const char* what;
        std::string arg;
        std::string input;  // the shell's words before the program: a pipe or redirection
        int status;
        std::string says;
    } cases[] = {
        {"a regular file", goodPath, "", 69, "/dev/no-such-line"},
        {"a file of exactly 1 MiB", full, "", 69, "/dev/no-such-line"},
        {"a file one byte past 1 MiB", over, "", 64,
         over + " is refused, nothing was sent: it is larger than 1 MiB"},
        {"a directory", folder, "", 64,
         folder + " is refused, nothing was sent: it is a directory, not a regular file"},
        {"a named pipe, which must not block", fifo, "", 64,
         fifo + " is refused, nothing was sent: it is a named pipe (FIFO), not a regular file"},
        {"/dev/zero", "/dev/zero", "", 64,
         "/dev/zero is refused, nothing was sent: it is a character device, not a regular file"},
        {"/proc/self/mem, which cannot be read", "/proc/self/mem", "", 64,
         "/proc/self/mem is refused, nothing was sent: it cannot be read: Input/output error"},
        {"a file that is not there", Path("none.json"), "", 64,
         Path("none.json") +
             " is refused, nothing was sent: it cannot be opened: No such file or directory"},
        {"standard input from a pipe", "-", "cat '" + goodPath + "' |", 69, "/dev/no-such-line"},
        {"standard input redirected from a file", "-", "<'" + goodPath + "'", 69,
         "/dev/no-such-line"},
        {"standard input from a pipe of endless zeros", "-", "cat /dev/zero |", 64,
         "standard input is refused, nothing was sent: it is larger than 1 MiB"},
        {"standard input from /dev/zero itself", "-", "</dev/zero", 64,
         "standard input is refused, nothing was sent: it is a character device"},
    };
    for (const auto& c : cases) {
        const Ended run = Write(c.arg, c.input);
        ASSERT_TRUE(run.finished) << c.what << ": still running";
        EXPECT_EQ(run.status, c.status) << c.what << "\n" << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.what << "\n" << run.err;
    }
}

TEST_F(FileInput, StandardInputOnATerminalIsRefusedNotWaitedFor) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string terminal = ::ptsname(master);
    const Ended run = Write("-", "<'" + terminal + "'");
    ::close(master);
    ASSERT_TRUE(run.finished) << "still waiting for typing";
    EXPECT_EQ(run.status, 64) << run.err;
    EXPECT_NE(run.err.find("standard input is refused, nothing was sent: it is a terminal"),
              std::string::npos)
        << run.err;
}

TEST_F(FileInput, ARefusalShowsTheFilesBytesEscapedAndWhole) {
    // A key holding a NUL, and an unknown key that would clear the screen,
    // retitle the terminal and forge a line of ours.
    std::string text = GoodFile();
    text.replace(text.find("\"checkCode\""), 11, R"("check\u0000Code")");
    text.replace(text.find("\"format\""), 8,
                 R"("\u001b[2J\u001b]0;x\u0007\ntallisk-cli: /dev/ttyS0: verified": 1, "format")");
    const Ended run = Write(File("hostile.json", text), "");
    EXPECT_EQ(run.status, 64) << run.err;
    for (const std::string& shown :
         {std::string(R"(unknown setting "check\x00Code")"),
          std::string(
              R"(unknown member "\x1b[2J\x1b]0;x\x07\ntallisk-cli: /dev/ttyS0: verified")")}) {
        EXPECT_NE(run.err.find(shown), std::string::npos) << shown << "\n" << run.err;
    }
    for (const char c : run.err) {
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << static_cast<int>(c);
    }
    // Only the program's own lines begin with its name.
    size_t lines = 0;
    for (size_t at = run.err.find("\ntallisk-cli:"); at != std::string::npos;
         at = run.err.find("\ntallisk-cli:", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 0u) << run.err;
}

}  // namespace
