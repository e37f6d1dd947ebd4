#include "platform/advice/FailureAdvice.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/advice/PortHolders.h"

namespace {

TEST(FailureAdvice, ASerialLineThatWillNotOpenGetsTheFixOfItsError) {
    const struct {
        int error;
        const char* holders;
        const char* fix;
    } cases[] = {
        {EACCES, "", "not in the dialout group: sudo usermod -aG dialout $USER, then log in again"},
        {EBUSY, "", "the port is in use"},
        {EBUSY, "minicom (4242)", "the port is in use by minicom (4242)"},
        {EWOULDBLOCK, "picocom (7), screen (8)", "the port is in use by picocom (7), screen (8)"},
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
