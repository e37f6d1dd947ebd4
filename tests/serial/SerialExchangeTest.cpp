#include "channels/serial/SerialExchange.h"

#include <gtest/gtest.h>

#include "ManualPollTimer.h"
#include "PtyPair.h"
#include "TestOwner.h"
#include "channels/serial/SerialPort.h"

namespace {

constexpr int kPort = 8;

// Records what the exchange tells.
struct RecordingListener : ExchangeListener {
    struct Reply {
        bool decoded;
        ExchangeResult result;
        std::vector<uint8_t> bytes;
    };
    void Polled() override { ++polls; }
    void BurstBegan() override { ++bursts; }
    void ReadGrew(const std::string& text) override { shown = text; }
    void ReadCompleted(const std::string& text) override { reads.push_back(text); }
    void ReplyCompleted(ReplyUse use, ExchangeResult r, std::span<const uint8_t> reply,
                        int32_t n) override {
        replies.push_back({use == ReplyUse::Configuration, r, {reply.begin(), reply.begin() + n}});
    }
    void ByteReceived() override { ++bytes; }

    int polls = 0;
    int bursts = 0;
    int bytes = 0;
    std::string shown;
    std::vector<std::string> reads;
    std::vector<Reply> replies;
};

class SerialExchangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(port.OpenPort(kPort, 9600, 'N', 8, 1, 9, 512));
        port.StartMonitor();
    }
    void TearDown() override { port.Shutdown(); }

    void Queue(std::vector<uint8_t> frame, int fromSendCmd) {
        slot.Apply({FrameOrder::Action::Send, std::move(frame),
                    fromSendCmd == 0 ? ReplyUse::Configuration : ReplyUse::Status});
    }
    size_t PendingLength() const { return slot.Pending() ? slot.Frame().size() : 0; }
    void Bytes(const std::vector<uint8_t>& bytes) {
        for (uint8_t b : bytes) {
            serial.OnSerialByte(b);
        }
    }

    PtyPair pty{kPort};
    TestOwner owner;
    SerialPort port{nullptr, owner.Mailbox()};
    RecordingListener events;
    ManualPollTimer timer;
    FrameSlot slot;
    ConnectMode mode = kSerialMode;
    std::chrono::steady_clock::time_point now{};
    SerialExchange serial{
        events, slot, port, timer, [this] { return mode; }, [this] { return now; }};
};

TEST_F(SerialExchangeTest, APendingFrameIsWrittenAndItsReplyRouted) {
    const struct {
        int fromSendCmd;
        std::vector<uint8_t> reply;
        bool decoded;
    } cases[] = {
        {0, std::vector<uint8_t>(24, 0x02), true},  // framing bytes stay in a reply
        {1, {0x1B, 0x30}, false},
    };
    for (const auto& c : cases) {
        events.replies.clear();
        Queue({0x1B, 0x52}, c.fromSendCmd);
        serial.Poll();
        EXPECT_EQ(PendingLength(), 0u);
        EXPECT_TRUE(serial.AwaitingReply());
        EXPECT_EQ(pty.Receive(2), (std::vector<uint8_t>{0x1B, 0x52}));
        Bytes(c.reply);
        EXPECT_TRUE(events.reads.empty());
        serial.Poll();
        ASSERT_EQ(events.replies.size(), 1u);
        EXPECT_EQ(events.replies[0].decoded, c.decoded);
        EXPECT_EQ(events.replies[0].result, 0);
        EXPECT_EQ(events.replies[0].bytes, c.reply);
        EXPECT_FALSE(serial.AwaitingReply());
        EXPECT_TRUE(timer.Active());
    }
}

TEST_F(SerialExchangeTest, BurstsThatAreNotRepliesAreReads) {
    Bytes({0x02, 'T', '1', 0x1B, '2', 0x03, 0x0D, 0x0A});
    EXPECT_EQ(events.shown, "T12");
    EXPECT_EQ(serial.Reply().length, 3);
    serial.Poll();
    EXPECT_EQ(events.reads, (std::vector<std::string>{"T12"}));
    Bytes({0x0D, 0x0A});  // only control bytes: a read with an empty text
    serial.Poll();
    EXPECT_EQ(events.reads.back(), "");
    Bytes({0xE9});
    serial.Poll();
    EXPECT_EQ(events.reads.back(), "\xC3\xA9");
    EXPECT_TRUE(events.replies.empty());
}

TEST_F(SerialExchangeTest, AFrameWaitsUntilTheReadInProgressIsComplete) {
    Bytes({'1', '2'});
    Queue({0x1B, 0x55}, 1);
    serial.Poll();  // completes the read
    EXPECT_EQ(PendingLength(), 2u);
    EXPECT_FALSE(serial.AwaitingReply());
    serial.Poll();
    EXPECT_EQ(PendingLength(), 0u);
    EXPECT_TRUE(serial.AwaitingReply());
}

TEST_F(SerialExchangeTest, NoAnswerEndsTheWaitAfterThreeSeconds) {
    for (int fromSendCmd : {0, 1}) {
        events.replies.clear();
        events.reads.clear();
        Queue({0x1B, 0x52}, fromSendCmd);
        serial.Poll();
        now += std::chrono::milliseconds(2900);
        serial.Poll();
        EXPECT_TRUE(events.replies.empty());
        now += std::chrono::milliseconds(100);
        serial.Poll();
        ASSERT_EQ(events.replies.size(), 1u);
        EXPECT_EQ(events.replies[0].result, 6);
        EXPECT_EQ(events.replies[0].decoded, fromSendCmd == 0);
        // The cheque read that follows is a read, not the reply.
        Bytes({'T', '1', '2', '3', 'T'});
        serial.Poll();
        EXPECT_EQ(events.reads, (std::vector<std::string>{"T123T"}));
        EXPECT_EQ(events.replies.size(), 1u);
    }
}

TEST_F(SerialExchangeTest, OutsideTheSerialModeThePollStopsForGood) {
    Queue({0x1B, 0x55}, 1);
    timer.Start();
    mode = kUsbHidMode;
    serial.Poll();
    EXPECT_FALSE(timer.Active());
    EXPECT_EQ(PendingLength(), 2u);
    EXPECT_EQ(events.polls, 0);
}

TEST_F(SerialExchangeTest, LongBurstsNeverOverrunTheReplyBuffer) {
    const std::vector<uint8_t> flood(3000, 'x');
    Bytes(flood);  // a read
    EXPECT_EQ(serial.Reply().length, kExchangeBufferSize);
    serial.Poll();
    ASSERT_EQ(events.reads.size(), 1u);
    EXPECT_EQ(events.reads[0].size(), 3000u);

    Queue({0x1B, 0x52}, 0);
    serial.Poll();
    Bytes(flood);  // a reply
    serial.Poll();
    ASSERT_EQ(events.replies.size(), 1u);
    EXPECT_EQ(events.replies[0].bytes.size(), static_cast<size_t>(kExchangeBufferSize));
}

TEST_F(SerialExchangeTest, AReadThatNeverPausesKeepsABoundedText) {
    // Reads within the bound are kept whole; beyond it the read goes on but
    // its text grows no further, in single- or two-byte characters alike.
    const struct {
        size_t bytes;
        uint8_t value;
        size_t kept;
    } cases[] = {
        {kMaxReadTextBytes, 'x', kMaxReadTextBytes},
        {kMaxReadTextBytes + 1, 'x', kMaxReadTextBytes},
        {200000, 'x', kMaxReadTextBytes},
        {200000, 0xA0, kMaxReadTextBytes},  // two bytes a character
    };
    for (const auto& c : cases) {
        events.reads.clear();
        Bytes(std::vector<uint8_t>(c.bytes, c.value));
        EXPECT_LE(events.shown.size(), kMaxReadTextBytes) << c.bytes;
        serial.Poll();
        ASSERT_EQ(events.reads.size(), 1u) << c.bytes;
        EXPECT_EQ(events.reads[0].size(), c.kept) << c.bytes;
    }
}

}  // namespace
