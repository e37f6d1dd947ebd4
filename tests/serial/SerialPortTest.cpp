#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "PtyPair.h"
#include "SpySerialDevice.h"
#include "TestOwner.h"
#include "channels/serial/SerialPort.h"

namespace {

constexpr int kPort = 7;
constexpr uint32_t kMask = kEventRxChar | kEventCts;

bool Open(SerialPort& port, TestOwner& owner, int portNumber = kPort) {
    return port.OpenPort(&owner, portNumber, 9600, 'N', 8, 1, kMask, 512);
}

// A reporter that notes each box and keeps its closed call, as boxes the
// user has not closed yet. It runs on the owner's thread, the test's.
struct Boxes {
    std::vector<std::string> texts;
    std::vector<std::function<void()>> closed;

    SerialPort::FailureReporter Reporter() {
        return [this](const std::string& text, std::function<void()> whenClosed) {
            texts.push_back(text);
            closed.push_back(std::move(whenClosed));
        };
    }
};

std::string BoxText(const std::string& operation, const std::string& error, int port = kPort) {
    return "WARNING:  " + operation + " Failed with the following error: \n" + error +
           "\nPort: " + std::to_string(port) + "\n";
}

// Serves the owner's hand-overs until done() holds, for conditions that no
// hand-over announces.
bool ServeUntil(TestOwner& owner, const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        owner.Drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// While it lives, the process may hold no more than limit descriptors:
// poll() then refuses a longer list with EINVAL.
class DescriptorLimit {
  public:
    explicit DescriptorLimit(rlim_t limit) {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        ::setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~DescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &saved_); }
    DescriptorLimit(const DescriptorLimit&) = delete;
    DescriptorLimit& operator=(const DescriptorLimit&) = delete;

  private:
    rlimit saved_{};
};

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
        Boxes boxes;
        port.SetFailureReporter(boxes.Reporter());
        EXPECT_TRUE(Open(port, owner)) << c.step;
        ASSERT_EQ(boxes.texts.size(), 1u) << c.step;
        EXPECT_EQ(boxes.texts[0],
                  std::string("WARNING:  ") + c.operation +
                      " Failed with the following error: \nInput/output error\nPort: 7\n");
        // Shown on the opening thread, which waits until it is closed.
        EXPECT_FALSE(boxes.closed[0]) << c.step;
        EXPECT_TRUE(port.IsOpen());
    }
}

TEST(SerialPort, AnUnknownLineDefinitionIsReported) {
    PtyPair pty(kPort);
    TestOwner owner;
    SerialPort port;
    Boxes boxes;
    port.SetFailureReporter(boxes.Reporter());
    EXPECT_TRUE(port.OpenPort(&owner, kPort, 9600, 'X', 8, 1, kMask, 512));
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find("BuildCommDCB()"), std::string::npos);
    EXPECT_FALSE(boxes.closed[0]);
}

TEST(SerialPort, AMissingDeviceFailsToOpenWithoutABox) {
    ::setenv("TALLISK_COM9", "/dev/no-such-tty", 1);
    TestOwner owner;
    SerialPort port;
    int boxes = 0;
    port.SetFailureReporter([&boxes](const std::string&, std::function<void()>) { ++boxes; });
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

TEST(SerialPort, ALineThatGoesAwayIsReportedOnceAndNoLongerWaitedOn) {
    const std::vector<uint8_t> frame = {0x1B, 0x52};
    const struct {
        const char* how;
        bool badHandle;     // else the far end closes
        const char* error;  // of the box
        bool writeFails;    // a write afterwards
    } cases[] = {
        {"the far end closes", false, "Input/output error", true},
        {"the descriptor is not open", true, "Bad file descriptor", false},
    };
    for (const auto& c : cases) {
        PtyPair pty(kPort);
        TestOwner owner;
        auto device = std::make_unique<SpySerialDevice>();
        SpySerialDevice* spy = device.get();
        spy->badPollHandle = c.badHandle;
        SerialPort port(std::move(device));
        Boxes boxes;
        port.SetFailureReporter(boxes.Reporter());
        ASSERT_TRUE(Open(port, owner)) << c.how;
        port.StartMonitor();
        if (!c.badHandle) {
            pty.CloseMaster();
        }
        ASSERT_TRUE(owner.PumpUntil([&] { return boxes.texts.size() == 1; })) << c.how;
        EXPECT_EQ(boxes.texts[0], BoxText("WaitCommEvent()", c.error)) << c.how;
        // The monitor thread waits for this box, not the owner's.
        ASSERT_TRUE(boxes.closed[0]) << c.how;
        EXPECT_TRUE(port.MonitorAlive()) << c.how;
        const int wakeUps = spy->queuedInputChecks;
        boxes.closed[0]();

        // Write requests are still carried out. The line is not waited on
        // any more: the monitor wakes for the write alone.
        port.RequestWrite(frame);
        if (c.writeFails) {
            ASSERT_TRUE(owner.PumpUntil([&] { return boxes.texts.size() == 2; })) << c.how;
            EXPECT_EQ(boxes.texts[1], BoxText("WriteFile()", "Input/output error")) << c.how;
        } else {
            EXPECT_EQ(pty.Receive(frame.size()), frame) << c.how;
            owner.Drain();
            EXPECT_EQ(boxes.texts.size(), 1u) << c.how;
        }
        EXPECT_EQ(spy->queuedInputChecks, wakeUps) << c.how;
        port.Shutdown();  // a write's box may still be open
        EXPECT_FALSE(port.MonitorAlive()) << c.how;
    }
}

TEST(SerialPort, AFailingWaitIsReportedOnceAndTheLineIsStillServed) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizers' runtime needs descriptors of its own to check memory
    // (every dynamic type check opens a pipe): under the lowered limit it
    // reports errors that are not there.
    GTEST_SKIP() << "needs a descriptor limit the sanitizers' runtime cannot run under";
#endif
    PtyPair pty(kPort);
    TestOwner owner;
    auto device = std::make_unique<SpySerialDevice>();
    SpySerialDevice* spy = device.get();
    SerialPort port(std::move(device));
    Boxes boxes;
    port.SetFailureReporter(boxes.Reporter());
    ASSERT_TRUE(Open(port, owner));
    // The monitor runs before the limit falls; a write request wakes it
    // into its next wait.
    port.StartMonitor();
    ASSERT_TRUE(ServeUntil(owner, [&] { return spy->waitsBegun >= 1; }));
    {
        // The monitor waits on three descriptors: more than the process
        // may now hold.
        const DescriptorLimit limit(2);
        const uint8_t wake[] = {0x1B, 'e'};
        port.RequestWrite(wake);
        ASSERT_TRUE(owner.PumpUntil([&] { return boxes.texts.size() == 1; }));
        EXPECT_EQ(boxes.texts[0], BoxText("WaitCommEvent()", "Invalid argument"));
        ASSERT_TRUE(boxes.closed[0]);
        const int begun = spy->waitsBegun;
        boxes.closed[0]();
        // The wait keeps failing: it is tried again but not reported again.
        EXPECT_TRUE(ServeUntil(owner, [&] { return spy->waitsBegun >= begun + 2; }));
        EXPECT_EQ(boxes.texts.size(), 1u);
        EXPECT_TRUE(port.MonitorAlive());
    }
    // Once the wait works again, the line's bytes arrive.
    pty.Send({0x41});
    EXPECT_TRUE(owner.PumpUntil([&] { return owner.Bytes().size() == 1; }));
    EXPECT_EQ(boxes.texts.size(), 1u);
    port.Shutdown();
    EXPECT_FALSE(port.MonitorAlive());
}

TEST(SerialPort, ABoxLeftOpenNeitherHoldsUpShutdownNorReachesALaterOpening) {
    PtyPair first(kPort);
    TestOwner owner;
    auto port = std::make_unique<SerialPort>();
    Boxes boxes;
    port->SetFailureReporter(boxes.Reporter());
    ASSERT_TRUE(Open(*port, owner));
    port->StartMonitor();
    first.CloseMaster();
    ASSERT_TRUE(owner.PumpUntil([&] { return boxes.texts.size() == 1; }));
    ASSERT_TRUE(boxes.closed[0]);
    port->Shutdown();  // the box stays open
    EXPECT_FALSE(port->MonitorAlive());

    // Opened again, on another line that goes away too: its monitor waits
    // for the new box, and closing the old one does not end that wait.
    PtyPair second(kPort);
    ASSERT_TRUE(Open(*port, owner));
    port->StartMonitor();
    second.CloseMaster();
    ASSERT_TRUE(owner.PumpUntil([&] { return boxes.texts.size() == 2; }));
    ASSERT_TRUE(boxes.closed[1]);
    boxes.closed[0]();
    port->RequestWrite(std::vector<uint8_t>{0x1B, 0x52});
    EXPECT_FALSE(
        owner.PumpUntil([&] { return boxes.texts.size() == 3; }, std::chrono::milliseconds(200)));
    boxes.closed[1]();
    ASSERT_TRUE(owner.PumpUntil([&] { return boxes.texts.size() == 3; }));
    EXPECT_EQ(boxes.texts[2], BoxText("WriteFile()", "Input/output error"));

    // Boxes closed after the port is gone touch nothing of it.
    port.reset();
    for (const std::function<void()>& closed : boxes.closed) {
        closed();
    }
    EXPECT_EQ(boxes.texts.size(), 3u);
}

}  // namespace
