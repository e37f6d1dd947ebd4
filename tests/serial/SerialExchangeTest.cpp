#include "SerialExchange.h"

#include <gtest/gtest.h>

#include "PtyPair.h"
#include "SerialPort.h"
#include "TestOwner.h"

namespace {

constexpr int kSerialMode = 1;
constexpr int kPort = 8;

// Records what the exchange asks of its window.
struct FakeHost : ExchangeHost {
    struct Reply {
        bool decoded;
        ExchangeResult result;
        std::vector<uint8_t> bytes;
    };
    void SaveSettings() override { ++saves; }
    void LoadSettings() override { ++loads; }
    void FocusComparisonBox() override { ++focuses; }
    void ShowCheckReadData(const std::string& text) override { shown = text; }
    void CompleteCheckRead(const std::string& text) override { reads.push_back(text); }
    void DecodeConfigReply(ExchangeResult r, std::span<const uint8_t> reply, int32_t n) override {
        replies.push_back({true, r, {reply.begin(), reply.begin() + n}});
    }
    void ReportExchangeResult(ExchangeResult r, std::span<const uint8_t> reply,
                              int32_t n) override {
        replies.push_back({false, r, {reply.begin(), reply.begin() + n}});
    }
    void SetSerialTimer() override { timerRunning = true; }
    void KillSerialTimer() override { timerRunning = false; }
    void SetUsbTimer() override {}
    void KillUsbTimer() override {}
    void BeginUsbExchange() override {}
    void EndUsbExchange() override {}

    int saves = 0;
    int loads = 0;
    int focuses = 0;
    bool timerRunning = false;
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
        std::copy(frame.begin(), frame.end(), exchange.commandFrame.bytes.begin());
        exchange.commandFrame.length = static_cast<int32_t>(frame.size());
        exchange.frameFromSendCmd = fromSendCmd;
    }
    void Bytes(const std::vector<uint8_t>& bytes) {
        for (uint8_t b : bytes) {
            serial.OnSerialByte(b);
        }
    }

    PtyPair pty{kPort};
    TestOwner owner;
    SerialPort port{nullptr, owner.Mailbox()};
    FakeHost host;
    ExchangeState exchange;
    std::chrono::steady_clock::time_point now{};
    SerialExchange serial{host, exchange, port, [this] { return now; }};
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
        host.replies.clear();
        Queue({0x1B, 0x52}, c.fromSendCmd);
        serial.Poll(kSerialMode);
        EXPECT_EQ(exchange.commandFrame.length, 0);
        EXPECT_TRUE(serial.AwaitingReply());
        EXPECT_EQ(pty.Receive(2), (std::vector<uint8_t>{0x1B, 0x52}));
        Bytes(c.reply);
        EXPECT_TRUE(host.reads.empty());
        serial.Poll(kSerialMode);
        ASSERT_EQ(host.replies.size(), 1u);
        EXPECT_EQ(host.replies[0].decoded, c.decoded);
        EXPECT_EQ(host.replies[0].result, 0);
        EXPECT_EQ(host.replies[0].bytes, c.reply);
        EXPECT_FALSE(serial.AwaitingReply());
        EXPECT_TRUE(host.timerRunning);
    }
}

TEST_F(SerialExchangeTest, BurstsThatAreNotRepliesAreReads) {
    Bytes({0x02, 'T', '1', 0x1B, '2', 0x03, 0x0D, 0x0A});
    EXPECT_EQ(host.shown, "T12");
    EXPECT_EQ(exchange.replyBuffer.length, 3);
    serial.Poll(kSerialMode);
    EXPECT_EQ(host.reads, (std::vector<std::string>{"T12"}));
    Bytes({0x0D, 0x0A});  // only control bytes: a read with an empty text
    serial.Poll(kSerialMode);
    EXPECT_EQ(host.reads.back(), "");
    Bytes({0xE9});
    serial.Poll(kSerialMode);
    EXPECT_EQ(host.reads.back(), "\xC3\xA9");
    EXPECT_TRUE(host.replies.empty());
}

TEST_F(SerialExchangeTest, AFrameWaitsUntilTheReadInProgressIsComplete) {
    Bytes({'1', '2'});
    Queue({0x1B, 0x55}, 1);
    serial.Poll(kSerialMode);  // completes the read
    EXPECT_EQ(exchange.commandFrame.length, 2);
    EXPECT_FALSE(serial.AwaitingReply());
    serial.Poll(kSerialMode);
    EXPECT_EQ(exchange.commandFrame.length, 0);
    EXPECT_TRUE(serial.AwaitingReply());
}

TEST_F(SerialExchangeTest, NoAnswerEndsTheWaitAfterThreeSeconds) {
    for (int fromSendCmd : {0, 1}) {
        host.replies.clear();
        host.reads.clear();
        Queue({0x1B, 0x52}, fromSendCmd);
        serial.Poll(kSerialMode);
        now += std::chrono::milliseconds(2900);
        serial.Poll(kSerialMode);
        EXPECT_TRUE(host.replies.empty());
        now += std::chrono::milliseconds(100);
        serial.Poll(kSerialMode);
        ASSERT_EQ(host.replies.size(), 1u);
        EXPECT_EQ(host.replies[0].result, 6);
        EXPECT_EQ(host.replies[0].decoded, fromSendCmd == 0);
        // The cheque read that follows is a read, not the reply.
        Bytes({'T', '1', '2', '3', 'T'});
        serial.Poll(kSerialMode);
        EXPECT_EQ(host.reads, (std::vector<std::string>{"T123T"}));
        EXPECT_EQ(host.replies.size(), 1u);
    }
}

TEST_F(SerialExchangeTest, OutsideTheSerialModeThePollStopsForGood) {
    Queue({0x1B, 0x55}, 1);
    host.timerRunning = true;
    serial.Poll(0);
    EXPECT_FALSE(host.timerRunning);
    EXPECT_EQ(exchange.commandFrame.length, 2);
    EXPECT_EQ(host.saves, 0);
}

TEST_F(SerialExchangeTest, LongBurstsNeverOverrunTheReplyBuffer) {
    const std::vector<uint8_t> flood(3000, 'x');
    Bytes(flood);  // a read
    EXPECT_EQ(exchange.replyBuffer.length, kExchangeBufferSize);
    serial.Poll(kSerialMode);
    ASSERT_EQ(host.reads.size(), 1u);
    EXPECT_EQ(host.reads[0].size(), 3000u);

    Queue({0x1B, 0x52}, 0);
    serial.Poll(kSerialMode);
    Bytes(flood);  // a reply
    serial.Poll(kSerialMode);
    ASSERT_EQ(host.replies.size(), 1u);
    EXPECT_EQ(host.replies[0].bytes.size(), static_cast<size_t>(kExchangeBufferSize));
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
        host.reads.clear();
        Bytes(std::vector<uint8_t>(c.bytes, c.value));
        EXPECT_LE(host.shown.size(), kMaxReadTextBytes) << c.bytes;
        serial.Poll(kSerialMode);
        ASSERT_EQ(host.reads.size(), 1u) << c.bytes;
        EXPECT_EQ(host.reads[0].size(), c.kept) << c.bytes;
    }
}

}  // namespace
