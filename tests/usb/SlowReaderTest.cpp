// The exchange with a reader whose transfers take their time: held up, never
// finished within the wait, or answered short.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "channels/common/ExchangeBuffers.h"
#include "channels/usb/HidChannel.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

// What the reader's node does, shared by the node and the test: transfers
// wait while they are held, and a read answers with the bytes given.
struct NodeState {
    std::mutex lock;
    std::condition_variable changed;
    bool holdSends = false;
    bool holdGets = false;
    int transfersUnderWay = 0;
    Bytes answer;  // a feature read's bytes, the id byte included

    // A held transfer goes on when let go, or after a while, so that a
    // channel that waits for it where it must not still ends the test.
    void Pass(bool NodeState::*hold) {
        std::unique_lock<std::mutex> held(lock);
        ++transfersUnderWay;
        changed.notify_all();
        changed.wait_for(held, 5s, [&] { return !(this->*hold); });
        --transfersUnderWay;
        changed.notify_all();
    }
    // Lets every transfer go and waits until none is under way.
    void Settle() {
        std::unique_lock<std::mutex> held(lock);
        holdSends = holdGets = false;
        changed.notify_all();
        changed.wait(held, [&] { return transfersUnderWay == 0; });
    }
    void Hold(bool NodeState::*hold) {
        std::lock_guard<std::mutex> held(lock);
        this->*hold = true;
    }
    void Answer(Bytes bytes) {
        std::lock_guard<std::mutex> held(lock);
        answer = std::move(bytes);
    }
    void LetGo() {
        std::lock_guard<std::mutex> held(lock);
        holdSends = holdGets = false;
        changed.notify_all();
    }
    int UnderWay() {
        std::lock_guard<std::mutex> held(lock);
        return transfersUnderWay;
    }
};

class SlowNode : public HidDevice {
  public:
    explicit SlowNode(NodeState& state) : state_(state) {}
    bool SendFeatureReport(std::span<const uint8_t>) override {
        state_.Pass(&NodeState::holdSends);
        return true;
    }
    int GetFeatureReport(std::span<uint8_t> report) override {
        state_.Pass(&NodeState::holdGets);
        std::lock_guard<std::mutex> held(state_.lock);
        const size_t n = std::min(report.size(), state_.answer.size());
        std::copy_n(state_.answer.begin(), n, report.begin());
        return static_cast<int>(n);
    }
    int WriteOutputReport(std::span<const uint8_t>) override { return -1; }
    int ReadInputReport(std::span<uint8_t>) override { return -1; }

  private:
    NodeState& state_;
};

// One reader with a 65-byte feature report.
class SlowReaderPlatform : public HidPlatform {
  public:
    std::vector<HidDeviceInfo> Enumerate() override {
        return {{"slow:hidraw0", 0x0471, 0xE001, 0x0001, "Cheque Reader", "Slow", ""}};
    }
    std::optional<HidReportLengths> ReportLengths(const std::string&) override {
        return HidReportLengths{9, 9, 65};
    }
    std::unique_ptr<HidDevice> Open(const std::string&) override {
        return std::make_unique<SlowNode>(state);
    }
    bool Present(const std::string&) override { return true; }
    NodeState state;
};

// Counts the passes of a wait and runs a script at each; the wait timer
// never ticks.
class CountingPump : public WaitPump {
  public:
    void PumpOneMessage(bool) override {
        ++passes;
        if (script) {
            script(passes);
        }
    }
    int passes = 0;
    std::function<void(int pass)> script;
};

class SlowReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(hid.Init());
        ASSERT_EQ(hid.FindDevice("0471", "E001", "0001"), 0);
        hid.SetReportType(HidChannel::kConnectReports);
        hid.SetReportType(HidChannel::kFeatureReports);
        Bytes answer(65, 0);
        answer[1] = 0x1B;
        answer[2] = '0';
        devices.state.Answer(answer);
    }
    void TearDown() override { devices.state.Settle(); }

    ExchangeResult Send(const Bytes& frame) {
        pump.passes = 0;
        replyLength = -1;
        return hid.Exchange(frame, static_cast<int32_t>(frame.size()), reply, replyLength);
    }

    SlowReaderPlatform devices;
    TimerObject timer;
    CountingPump pump;
    // The system's clock, or one that the test moves.
    bool testClock = false;
    int seconds = 0;
    HidChannel hid{&devices, timer, pump, [this] {
                       return testClock ? std::chrono::steady_clock::time_point{} +
                                              std::chrono::seconds(seconds)
                                        : std::chrono::steady_clock::now();
                   }};
    std::array<uint8_t, kExchangeBufferSize> reply{};
    int32_t replyLength = 0;
};

TEST_F(SlowReaderTest, AHeldUpTransferLeavesTheWaitingThreadFree) {
    for (bool NodeState::*hold : {&NodeState::holdSends, &NodeState::holdGets}) {
        devices.state.Hold(hold);
        int passesWhileHeld = 0;
        pump.script = [&](int) {
            // The event loop goes on while the reader holds the transfer.
            if (devices.state.UnderWay() == 1 && ++passesWhileHeld == 10) {
                devices.state.LetGo();
            }
        };
        EXPECT_EQ(Send({0x1B, 'e'}), 0);
        EXPECT_GE(passesWhileHeld, 10);
        EXPECT_EQ(replyLength, 64);
    }
}

TEST_F(SlowReaderTest, AWaitEndsWhenItsLimitHasPassedInElapsedTime) {
    // No tick arrives: only the clock ends the waits. It moves a second
    // with each pass made while the reader holds a transfer.
    testClock = true;
    pump.script = [&](int) {
        if (devices.state.UnderWay() == 1) {
            ++seconds;
        }
    };
    const struct {
        bool NodeState::*hold;
        int32_t result;
    } cases[] = {{&NodeState::holdSends, 4}, {&NodeState::holdGets, 6}};
    for (const auto& c : cases) {
        seconds = 0;
        devices.state.Hold(c.hold);
        EXPECT_EQ(Send({0x1B, 'e'}), c.result);
        EXPECT_EQ(seconds, 20);  // the first second at or past 19.2
        EXPECT_EQ(replyLength, -1);
        devices.state.Settle();
    }
    // A transfer left behind by an ended wait does not stand in the way.
    testClock = false;
    EXPECT_EQ(Send({0x1B, 'e'}), 0);
}

TEST_F(SlowReaderTest, AReplyIsAsLongAsWhatTheReaderSent) {
    const struct {
        size_t answered;  // bytes with the id byte
        int32_t length;
    } cases[] = {{0, 0}, {1, 0}, {11, 10}, {25, 24}, {65, 64}};
    for (const auto& c : cases) {
        Bytes answer(c.answered, 0x55);
        if (!answer.empty()) {
            answer[0] = 0;
        }
        devices.state.Answer(answer);
        ASSERT_EQ(Send({0x1B, 'R'}), 0) << c.answered;
        EXPECT_EQ(replyLength, c.length) << c.answered;
    }
}

}  // namespace
