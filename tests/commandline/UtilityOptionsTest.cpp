#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/UtilityOptions.h"
#include "channels/serial/SerialPort.h"
#include "commandline/CommandLine.h"

namespace {

CommandLine Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "tallisk");
    return ParseCommandLine(kUtilityProgram.options, static_cast<int>(args.size()), args.data());
}

TEST(UtilityOptions, ReadsTraceAndTheSerialPort) {
    const struct {
        std::vector<const char*> args;
        bool trace;
        const char* serialPort;
    } cases[] = {
        {{}, false, ""},
        {{"--trace"}, true, ""},
        {{"--serial-port", "/dev/ttyUSB0"}, false, "/dev/ttyUSB0"},
        {{"--serial-port=/dev/pts/3", "--trace"}, true, "/dev/pts/3"},
    };
    for (const auto& c : cases) {
        const CommandLine line = Parse(c.args);
        ASSERT_EQ(line.outcome, CommandLineOutcome::Run) << line.error;
        const UtilityOptions options = UtilityOptionsFrom(line);
        EXPECT_EQ(options.trace, c.trace) << ::testing::PrintToString(c.args);
        EXPECT_EQ(options.serialPort, c.serialPort) << ::testing::PrintToString(c.args);
    }
}

TEST(UtilityOptions, TheSerialPortIsCom1sDevice) {
    ::unsetenv("TALLISK_COM1");
    ApplySerialPort(UtilityOptionsFrom(Parse({})));
    EXPECT_EQ(SerialPort::DevicePathFor(1), "/dev/ttyS0");

    ApplySerialPort(UtilityOptionsFrom(Parse({"--serial-port", "/dev/ttyUSB0"})));
    EXPECT_EQ(SerialPort::DevicePathFor(1), "/dev/ttyUSB0");
    EXPECT_EQ(SerialPort::DevicePathFor(2), "/dev/ttyS1");
    ::unsetenv("TALLISK_COM1");
}

TEST(UtilityOptions, TheUtilityTakesOnlyItsOwnOptions) {
    const CommandLine tour = Parse({"--tour", "dir"});
    EXPECT_EQ(tour.outcome, CommandLineOutcome::UsageError);
    EXPECT_EQ(tour.error, "unknown option --tour");
}

}  // namespace
