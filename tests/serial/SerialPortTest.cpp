#include <gtest/gtest.h>

#include <dirent.h>

#include <memory>
#include <thread>

#include "PtyPair.h"
#include "SerialPort.h"
#include "SpySerialDevice.h"
#include "TestOwner.h"

namespace {

constexpr int kPort = 7;
constexpr uint32_t kMask = kEventRxChar | kEventCts;

bool Open(SerialPort& port, TestOwner& owner, int portNumber = kPort) {
    return port.OpenPort(&owner, portNumber, 9600, 'N', 8, 1, kMask, 512);
}

int OpenDescriptors() {
    int count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir) != nullptr) {
            ++count;
        }
        ::closedir(dir);
    }
    return count;
}

TEST(SerialPort, HandsOverEveryByteInOrderWithThePortNumber) {
    PtyPair pty(kPort);
    TestOwner owner;
    SerialPort port;
    ASSERT_TRUE(Open(port, owner));
    port.StartMonitor();
    pty.Send({0x31, 0x00, 0xFF});
    EXPECT_TRUE(owner.PumpUntil([&] { return owner.Bytes().size() == 3; }));
    EXPECT_EQ(owner.Bytes(), (std::vector<int>{0x31, 0x00, 0xFF}));
    for (const TestOwner::Message& m : owner.messages) {
        EXPECT_EQ(m.lParam, kPort);
    }
    // A comm event is reported before the bytes it brought.
    ASSERT_FALSE(owner.messages.empty());
    EXPECT_EQ(owner.messages.front().message, kSerialCtsMessage);
    port.Shutdown();
}

TEST(SerialPort, SetsTheLineAndWritesAfterAPurge) {
    PtyPair pty(kPort);
    TestOwner owner;
    std::vector<std::string> calls;
    auto device = std::make_unique<SpySerialDevice>();
    SpySerialDevice* spy = device.get();
    spy->calls = &calls;
    SerialPort port(std::move(device));
    ASSERT_TRUE(Open(port, owner));
    EXPECT_EQ(spy->lastLine.baud, 9600);
    EXPECT_EQ(spy->lastLine.parity, 'N');
    EXPECT_EQ(spy->lastLine.dataBits, 8);
    EXPECT_EQ(spy->lastLine.stopBits, 1);
    EXPECT_TRUE(spy->lastLine.rtsOn);

    port.StartMonitor();
    calls.clear();
    const std::vector<uint8_t> frame = {0x1B, 0x52};
    port.RequestWrite(frame);
    EXPECT_EQ(pty.Receive(2), frame);
    port.Shutdown();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "purge");
    EXPECT_EQ(calls.back(), "write");
}

TEST(SerialPort, EachFailingSettingStepIsReportedAndThePortStaysOpen) {
    for (const SettingStep& c : kSettingSteps) {
        PtyPair pty(kPort);
        TestOwner owner;
        auto device = std::make_unique<SpySerialDevice>();
        device->failing = c.step;
        SerialPort port(std::move(device));
        std::vector<std::string> boxes;
        port.SetFailureReporter([&boxes](const std::string& text) { boxes.push_back(text); });
        EXPECT_TRUE(Open(port, owner)) << c.step;
        ASSERT_EQ(boxes.size(), 1u) << c.step;
        EXPECT_EQ(boxes[0],
                  std::string("WARNING:  ") + c.operation +
                      " Failed with the following error: \nInput/output error\nPort: 7\n");
        EXPECT_TRUE(port.IsOpen());
    }
}

TEST(SerialPort, AnUnknownLineDefinitionIsReported) {
    PtyPair pty(kPort);
    TestOwner owner;
    SerialPort port;
    std::vector<std::string> boxes;
    port.SetFailureReporter([&boxes](const std::string& text) { boxes.push_back(text); });
    EXPECT_TRUE(port.OpenPort(&owner, kPort, 9600, 'X', 8, 1, kMask, 512));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("BuildCommDCB()"), std::string::npos);
}

TEST(SerialPort, AMissingDeviceFailsToOpenWithoutABox) {
    ::setenv("TALLISK_COM9", "/dev/no-such-tty", 1);
    TestOwner owner;
    SerialPort port;
    int boxes = 0;
    port.SetFailureReporter([&boxes](const std::string&) { ++boxes; });
    EXPECT_FALSE(Open(port, owner, 9));
    EXPECT_EQ(boxes, 0);
    ::unsetenv("TALLISK_COM9");
}

TEST(SerialPort, ReopeningEndsTheOldMonitorWithoutStaleBytes) {
    PtyPair pty(kPort);
    TestOwner owner;
    SerialPort port;
    ASSERT_TRUE(Open(port, owner));
    port.StartMonitor();
    pty.Send({1, 2, 3, 4, 5});
    // The monitor now waits for the owner to take a byte; reopening must
    // not deadlock against it.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(Open(port, owner));
    EXPECT_FALSE(port.MonitorAlive());
    const size_t handled = owner.messages.size();
    owner.Drain();
    EXPECT_EQ(owner.messages.size(), handled);
    port.Shutdown();
}

TEST(SerialPort, ShutdownWithoutAMonitorReturnsAtOnce) {
    SerialPort port;
    port.Shutdown();
    EXPECT_FALSE(port.MonitorAlive());
    port.RequestWrite(std::vector<uint8_t>{1, 2});  // no buffer: nothing happens
}

TEST(SerialPort, ShutdownClosesThePortForOtherPrograms) {
    PtyPair pty(kPort);
    TestOwner owner;
    SerialPort first;
    ASSERT_TRUE(Open(first, owner));
    SerialPort second;
    EXPECT_FALSE(Open(second, owner));  // held by the first
    first.Shutdown();
    EXPECT_TRUE(Open(second, owner));
}

TEST(SerialPort, ManyCyclesWithTrafficLeakNothing) {
    PtyPair pty(kPort);
    TestOwner owner;
    SerialPort port;
    int before = 0;
    for (int cycle = 0; cycle < 100; ++cycle) {
        if (cycle == 1) {
            before = OpenDescriptors();  // the port keeps its last events until it opens again
        }
        ASSERT_TRUE(Open(port, owner));
        port.StartMonitor();
        pty.Send({static_cast<uint8_t>(cycle), 0x41});
        port.RequestWrite(std::vector<uint8_t>{0x1B, 0x55});
        if (cycle % 2 == 0) {
            owner.PumpUntil([&] { return !owner.Bytes().empty(); }, std::chrono::milliseconds(50));
        }
        port.Shutdown();
        owner.Drain();
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(SerialPort, AHungUpLineStillShutsDown) {
    auto pty = std::make_unique<PtyPair>(kPort);
    TestOwner owner;
    SerialPort port;
    ASSERT_TRUE(Open(port, owner));
    port.StartMonitor();
    pty->Send({0x41});
    owner.PumpUntil([&] { return owner.Bytes().size() == 1; });
    pty.reset();  // the far end goes away
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    port.Shutdown();
    EXPECT_FALSE(port.MonitorAlive());
}

}  // namespace
