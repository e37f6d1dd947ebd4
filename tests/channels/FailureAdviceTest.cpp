#include "platform/advice/FailureAdvice.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <pty.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/advice/LockHolders.h"
#include "platform/advice/PortHolders.h"
#include "platform/serial/SerialDevice.h"

namespace {

TEST(FailureAdvice, ASerialLineThatWillNotOpenGetsTheFixOfItsError) {
    const struct {
        int error;
        const char* holders;
        const char* fix;
    } cases[] = {
        {EACCES, "", "not in the dialout group: sudo usermod -aG dialout $USER, then log in again"},
        {EBUSY, "", "the port is in use by another program (which one cannot be seen)"},
        {EBUSY, "minicom (4242)", "the port is in use by minicom (4242)"},
        {EWOULDBLOCK, "picocom (7), screen (8)", "the port is in use by picocom (7), screen (8)"},
        {EWOULDBLOCK, "", "the port is in use by another program (which one cannot be seen)"},
        {ENOENT, "", "no such device"},
        {ENOENT, "minicom (4242)", "no such device"},  // holders only for a port in use
        {EIO, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SerialOpenFix(c.error, c.holders), c.fix) << c.error;
    }
}

TEST(FailureAdvice, ALineNamesTheDeviceTheSystemsWordAndTheFix) {
    const std::string denied = std::strerror(EACCES);
    const std::string missing = std::strerror(ENOENT);
    const struct {
        std::string line;
        std::string expected;
    } cases[] = {
        {FailureLine("/dev/ttyS0", "Input/output error", ""), "/dev/ttyS0: Input/output error"},
        {SerialOpenFailureLine("/dev/no-such-tty", ENOENT),
         "/dev/no-such-tty: " + missing + "; no such device"},
        {SerialOpenFailureLine("/dev/ttyS3", EACCES),
         "/dev/ttyS3: " + denied +
             "; not in the dialout group: sudo usermod -aG dialout $USER, then log in again"},
        {UsbNoAccessLine("/dev/hidraw2"),
         "/dev/hidraw2: " + denied +
             "; install the udev rule 70-tallisk.rules and plug the reader in again"},
        {UsbInUseLine("/dev/hidraw2", "tallisk-cli (4242)"),
         "/dev/hidraw2: the reader is in use by tallisk-cli (4242); close the other program and "
         "try again"},
        {UsbInUseLine("/dev/hidraw2", ""),
         "/dev/hidraw2: the reader is in use by another program (which one cannot be seen); "
         "close the other program and try again"},
        {ReaderUnpluggedLine("/dev/hidraw2"), "/dev/hidraw2: the reader was unplugged"},
        {ReaderNotFoundLine("0471", "E001", "0001"),
         "no USB reader found with vendor 0471, product E001, version 0001; is it plugged in?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.line, c.expected);
    }
}

TEST(FailureAdvice, APortInUseNamesTheProcessThatHoldsIt) {
    char name[] = "/tmp/tallisk-held-XXXXXX";
    const int fd = ::mkstemp(name);  // held by this process
    ASSERT_GE(fd, 0);
    const std::string path = name;
    const std::string self = "(" + std::to_string(::getpid()) + ")";
    EXPECT_NE(PortHolders(path).find(self), std::string::npos) << PortHolders(path);
    EXPECT_NE(SerialOpenFailureLine(path, EBUSY).find("the port is in use by "), std::string::npos);
    ::close(fd);
    EXPECT_EQ(PortHolders(path).find(self), std::string::npos);
    ::unlink(name);
}

}  // namespace

namespace {

TEST(FailureAdvice, TheLockTableGivesTheHoldersOfOneFileOnly) {
    const dev_t device = makedev(0, 0x2a);
    const ino_t inode = 77;
    const std::string table =
        "1: FLOCK  ADVISORY  WRITE 4242 00:2a:77 0 EOF\n"
        "1: -> FLOCK  ADVISORY  WRITE 4243 00:2a:77 0 EOF\n"  // waits, holds nothing
        "2: POSIX  ADVISORY  WRITE 99 00:2a:78 0 EOF\n"       // another inode
        "3: FLOCK  ADVISORY  WRITE 100 00:2b:77 0 EOF\n"      // another device
        "4: OFDLCK ADVISORY  READ  -1 00:2a:77 0 EOF\n"       // holder not in view
        "5: FLOCK  ADVISORY  WRITE 0 00:2a:77 0 EOF\n"
        "6: POSIX  ADVISORY  READ  4244 00:2a:77 0 10\n"
        "garbage\n"
        "7: FLOCK  ADVISORY  WRITE 4242 00:2a:77 0 EOF";  // again, no line end
    EXPECT_EQ(LockHolderPids(table, device, inode), (std::vector<pid_t>{4242, 4244}));
    EXPECT_TRUE(LockHolderPids(table, device, 1).empty());
    EXPECT_TRUE(LockHolderPids("", device, inode).empty());
}

// Gives up root's power to pass over a line's exclusive flag.
bool DropCapabilities() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3]{};
    return syscall(SYS_capset, &header, none) == 0;
}

// A line held by a program of ours (locked, exclusive flag set) is named
// whichever way the next open fails: at the exclusive flag (EBUSY), or, for
// an opener that passes over the flag (root), at the lock (EWOULDBLOCK).
TEST(FailureAdvice, ASerialLineInUseNamesItsHolderForTheFlagAndForTheLock) {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    ::close(slave);
    const std::string path = name;
    PosixSerialDevice holder;
    ASSERT_EQ(holder.Open(path), 0);
    const std::string named = "in use by ";
    const std::string self = "(" + std::to_string(::getpid()) + ")";

    PosixSerialDevice second;
    const int error = second.Open(path);
    EXPECT_TRUE(error == EBUSY || error == EWOULDBLOCK) << error;
    for (const int e : {error, EBUSY, EWOULDBLOCK}) {
        const std::string line = SerialOpenFailureLine(path, e);
        EXPECT_NE(line.find(named), std::string::npos) << line;
        EXPECT_NE(line.find(self), std::string::npos) << line;
    }

    // Another process, held to the flag: its open meets it, and the line
    // names this process, which holds the lock.
    const auto heldToTheFlag = [&] {
        if (!DropCapabilities()) {
            std::_Exit(2);
        }
        PosixSerialDevice opener;
        const int refused = opener.Open(path);
        const std::string line = SerialOpenFailureLine(path, refused);
        std::_Exit((refused == EBUSY ? 0 : 4) | (line.find(self) != std::string::npos ? 0 : 8));
    };
    EXPECT_EXIT(heldToTheFlag(), ::testing::ExitedWithCode(0), "");
    ::close(master);
}

}  // namespace
