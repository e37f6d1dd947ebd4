// Both channels end to end against the simulated reader, with no window
// and no form: the reader connection opens the channel, the exchange sends
// a frame at its poll and tells what came back.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "PtyReaderLink.h"
#include "ReadFormatter.h"
#include "SimulatedDeviceWatch.h"
#include "SimulatedHidPlatform.h"
#include "channels/common/ExchangeListener.h"
#include "channels/presence/ReaderStack.h"
#include "protocol/CommandSet.h"

namespace {

using Bytes = std::vector<uint8_t>;
using State = ReaderConnection::State;
constexpr int kWaitMs = 5000;

// Everything the channels tell, in order.
struct Log : ExchangeListener, ReaderConnection::Listener {
    struct Reply {
        ReplyUse use;
        ExchangeResult result;
        Bytes bytes;
    };

    void Polled() override {}
    void BurstBegan() override { events.push_back("burst"); }
    void ReadGrew(const std::string&) override {}
    void ReadCompleted(const std::string& text) override {
        events.push_back("read");
        reads.push_back(text);
    }
    void ReplyCompleted(ReplyUse use, ExchangeResult result, std::span<const uint8_t> reply,
                        int32_t length) override {
        events.push_back("reply");
        replies.push_back({use, result, {reply.begin(), reply.begin() + length}});
    }
    void TransferBegan() override { events.push_back("transfer"); }
    void TransferEnded() override { events.push_back("transferred"); }

    void StateChanged(State s) override { states.push_back(s); }
    void StatusChanged(const std::string& text) override { status = text; }
    void Settled() override {}
    void WatchUnavailable() override { events.push_back("no watch"); }
    void Closed() override { events.push_back("closed"); }

    std::vector<std::string> events;
    std::vector<std::string> reads;
    std::vector<Reply> replies;
    std::vector<State> states;
    std::string status;
};

bool RunUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < kWaitMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return done();
}

// What a read's text is: its bytes without the framing.
std::string TextOf(const Bytes& read) {
    std::string text;
    for (uint8_t b : read) {
        if (b != 0x02 && b != 0x03 && b != 0x0A && b != 0x0D && b != 0x1B) {
            text.push_back(static_cast<char>(b));
        }
    }
    return text;
}

// The reader stack a program without a window builds to talk to a reader,
// with the simulated reader's HID devices.
struct Channels {
  private:
    // Made first, so that the references below name them; the stack owns them.
    std::unique_ptr<SimulatedHidPlatform> ownDevices_ = std::make_unique<SimulatedHidPlatform>();
    std::unique_ptr<SimulatedDeviceWatch> ownWatch_ =
        std::make_unique<SimulatedDeviceWatch>(*ownDevices_);

  public:
    explicit Channels(ConnectMode mode) {
        stack.Attach(log, log, log);
        connection.SetMode(mode);
    }
    ~Channels() {
        connection.Close(connection.Mode());
        stack.Detach();
    }

    void QueueReadRequest() {
        stack.Order({FrameOrder::Action::Send, {0x1B, 'R'}, ReplyUse::Configuration});
    }

    Log log;
    SimulatedHidPlatform& devices = *ownDevices_;
    SimulatedDeviceWatch& watch = *ownWatch_;
    ReaderStack stack{std::move(ownDevices_), std::move(ownWatch_)};
    SerialExchange& serial = stack.Serial();
    UsbExchange& usb = stack.Usb();
    ReaderConnection& connection = stack.Connection();
};

TEST(ChannelEndToEnd, SerialReadsTheConfigurationAndAChequeWithoutAWindow) {
    PtyReaderLink reader;
    ASSERT_TRUE(reader.Start());
    ::setenv("TALLISK_COM1", reader.Path().c_str(), 1);
    {
        Channels c(kSerialMode);
        c.connection.Open();
        EXPECT_EQ(c.log.states, (std::vector<State>{State::Opening, State::SerialOpened}));
        EXPECT_EQ(c.log.status, "Status: Serial Open Success");
        EXPECT_TRUE(c.serial.Polling());

        c.QueueReadRequest();
        ASSERT_TRUE(RunUntil([&] { return !c.log.replies.empty(); }));
        const ConfigBlock config = ReaderModel::DefaultConfig();
        EXPECT_EQ(c.log.replies[0].use, ReplyUse::Configuration);
        EXPECT_EQ(c.log.replies[0].result, kExchangeOk);
        EXPECT_EQ(c.log.replies[0].bytes, Bytes(config.begin(), config.end()));
        EXPECT_EQ(reader.ReceivedFrames(), (std::vector<Bytes>{{0x1B, 'R'}}));

        const Bytes cheque = FormatChequeRead(config, kSampleChequeLines[0]);
        reader.Send(cheque);
        ASSERT_TRUE(RunUntil([&] { return !c.log.reads.empty(); }));
        EXPECT_EQ(c.log.reads[0], TextOf(cheque));
        EXPECT_EQ(c.log.events, (std::vector<std::string>{"burst", "reply", "burst", "read"}));
    }
    ::unsetenv("TALLISK_COM1");
}

TEST(ChannelEndToEnd, UsbReadsTheConfigurationFollowsRemovalAndGathersKeys) {
    Channels c(kUsbHidMode);
    c.devices.AddReader();
    c.connection.Open();
    EXPECT_EQ(c.log.states, (std::vector<State>{State::Opening, State::Connected}));
    EXPECT_EQ(c.watch.registrations, 1);

    c.QueueReadRequest();
    ASSERT_TRUE(RunUntil([&] { return !c.log.replies.empty(); }));
    const ConfigBlock config = ReaderModel::DefaultConfig();
    EXPECT_EQ(c.log.replies[0].use, ReplyUse::Configuration);
    EXPECT_EQ(c.log.replies[0].result, kExchangeOk);
    // A USB reply is the whole report's payload: the block, then padding.
    const Bytes& reply = c.log.replies[0].bytes;
    ASSERT_GE(reply.size(), config.size());
    EXPECT_TRUE(std::equal(config.begin(), config.end(), reply.begin()));
    EXPECT_EQ(c.log.events, (std::vector<std::string>{"transfer", "transferred", "reply"}));

    // A read typed by the reader; shorter bursts are not reads.
    const std::string line = "T123456789T 0001234O";
    for (const std::string& burst : {std::string("12345"), line}) {
        for (char ch : burst) {
            c.usb.OnKeyCharacter(std::string(1, ch));
        }
        ASSERT_TRUE(RunUntil([&] { return !c.usb.Running() && c.usb.KeyCount() == 0; }));
    }
    EXPECT_EQ(c.log.reads, (std::vector<std::string>{line}));

    c.devices.Pull(0);
    ASSERT_TRUE(RunUntil([&] { return c.log.states.back() == State::Removed; }));
    EXPECT_FALSE(c.usb.Polling());
    c.devices.Plug(0);
    ASSERT_TRUE(RunUntil([&] { return c.log.states.back() == State::Connected; }));
    EXPECT_TRUE(c.usb.Polling());
}

}  // namespace
