#include "channels/usb/HidChannel.h"

#include <gtest/gtest.h>

#include <functional>

#include "SimulatedHidPlatform.h"
#include "TraceCapture.h"
#include "channels/common/ExchangeBuffers.h"
#include "protocol/HexText.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A wait pump that delivers one tick of the wait timer per pass, and runs a
// script at chosen passes (a device pulled, the wait aborted).
class ScriptedPump : public WaitPump {
  public:
    explicit ScriptedPump(TimerObject& timer) : timer_(timer) {}
    void PumpOneMessage(bool) override {
        ++passes;
        if (script) {
            script(passes);
        }
        if (ticking) {
            TimerObjectTick(timer_.Id() + tickOffset);
        }
    }
    int passes = 0;
    bool ticking = true;
    int tickOffset = 0;  // else the ticks are another timer's
    std::function<void(int pass)> script;

  private:
    TimerObject& timer_;
};

class HidChannelTest : public ::testing::Test {
  protected:
    int Find() { return hid.FindDevice("0471", "E001", "0001"); }

    // Connects the way the window does before a command.
    void Connect() {
        ASSERT_TRUE(hid.Init());
        ASSERT_EQ(Find(), 0);
        hid.SetReportType(HidChannel::kConnectReports);
        hid.SetReportType(HidChannel::kFeatureReports);
    }

    ExchangeResult Send(const Bytes& frame) {
        replyLength = -1;
        return hid.Exchange(frame, static_cast<int32_t>(frame.size()), reply, replyLength);
    }

    SimulatedHidPlatform devices;
    TimerObject timer;
    ScriptedPump pump{timer};
    HidChannel hid{&devices, timer, pump};
    std::array<uint8_t, kExchangeBufferSize> reply{};
    int32_t replyLength = 0;
};

TEST(HexText, ParsesIdentityTexts) {
    const struct {
        const char* text;
        Bytes bytes;
    } cases[] = {
        {"0471", {0x04, 0x71}}, {"04 71", {0x04, 0x71}}, {"04,71", {0x04, 0x71}},
        {"e001", {0xE0, 0x01}}, {"471", {0x47, 0x10}},   {"", {}},
        {"04G1", {}},           {"0x0471", {}},          {"-471", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseHexBytes(c.text), c.bytes) << c.text;
    }
}

TEST_F(HidChannelTest, FindDeviceTellsWhatItFound) {
    ASSERT_TRUE(hid.Init());
    EXPECT_EQ(Find(), 6);  // no HID device at all
    EXPECT_TRUE(hid.WaitAbortRequested());
    devices.AddDevice(0x046D, 0xC077, 0x7200, "Mouse");
    const int otherVersion = devices.AddReader(65, 0x0002);
    EXPECT_EQ(Find(), 5);
    EXPECT_FALSE(hid.Connected());

    const struct {
        const char* vendor;
        const char* product;
        const char* version;
        int result;
    } texts[] = {{"", "E001", "0001", 1},      {"0471", "", "0001", 1},
                 {"0471", "E001", "", 1},      {"04Z1", "E001", "0001", 2},
                 {"0471", "E0O1", "0001", 3},  {"0471", "E001", "00.1", 4},
                 {"04 71", "E0,01", "0001", 5}};
    for (const auto& t : texts) {
        EXPECT_EQ(hid.FindDevice(t.vendor, t.product, t.version), t.result) << t.vendor;
    }

    const int first = devices.AddReader(65);
    const int second = devices.AddReader(9);
    EXPECT_EQ(Find(), 0);
    EXPECT_TRUE(hid.Connected());
    EXPECT_EQ(hid.ReportLengths().feature, 65);  // the first of two wins
    EXPECT_EQ(hid.Reader().productString, "Cheque Reader");
    devices.Pull(first);
    EXPECT_EQ(Find(), 0);
    EXPECT_EQ(hid.ReportLengths().feature, 9);
    devices.Pull(second);
    devices.Pull(otherVersion);
    EXPECT_EQ(Find(), 5);
}

TEST_F(HidChannelTest, FramesTravelInReportsOfTheFeatureLength) {
    const int reader = devices.AddReader(9);
    Connect();
    ASSERT_EQ(Send({0x1B, 'G', '5'}), 0);
    const auto& sent = devices.At(reader).sentReports;
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (Bytes{0, 0x1B, 'G', '5', 0, 0, 0, 0, 0}));
    EXPECT_EQ(replyLength, 8);  // one report's payload
    EXPECT_EQ(reply[0], 0x1B);
    EXPECT_EQ(reply[1], '0');

    Bytes block = {0x1B, 'S'};
    const ConfigBlock config = ReaderModel::DefaultConfig();
    block.insert(block.end(), config.begin(), config.end());
    ASSERT_EQ(Send(block), 0);
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(Bytes(sent[1].begin() + 1, sent[1].end()), Bytes(block.begin(), block.begin() + 8));
    EXPECT_EQ(sent[4], (Bytes{0, block[24], block[25], 0, 0, 0, 0, 0, 0}));
}

TEST_F(HidChannelTest, AConfigurationReplyFitsALongReport) {
    devices.AddReader(65);
    Connect();
    ASSERT_EQ(Send({0x1B, 'R'}), 0);
    EXPECT_EQ(replyLength, 64);
    const ConfigBlock config = ReaderModel::DefaultConfig();
    EXPECT_TRUE(std::equal(config.begin(), config.end(), reply.begin()));
}

TEST_F(HidChannelTest, ReportTypeAndLengthsAreCheckedBeforeAnyTransfer) {
    const struct {
        uint16_t featureLength;
        int reportType;
        int32_t result;
    } cases[] = {{65, 2, 1}, {65, 7, 1}, {0, 0, 2}, {1, 0, 2}, {129, 0, 2}, {2, 0, 0}, {128, 0, 0}};
    for (const auto& c : cases) {
        SimulatedHidPlatform lengths;
        const int reader = lengths.AddReader(c.featureLength);
        HidChannel channel(&lengths, timer, pump);
        ASSERT_TRUE(channel.Init());
        ASSERT_EQ(channel.FindDevice("0471", "E001", "0001"), 0);
        channel.SetReportType(static_cast<HidChannel::ReportType>(c.reportType));
        int32_t n = 0;
        const Bytes frame = {0x1B, 'e'};
        EXPECT_EQ(channel.Exchange(frame, 2, reply, n), c.result) << c.featureLength;
        if (c.result != 0) {
            EXPECT_TRUE(lengths.At(reader).sentReports.empty()) << c.featureLength;
        }
    }
    // Report type 2 right after Init, as at connect: nothing selected yet.
    devices.AddReader(65);
    ASSERT_TRUE(hid.Init());
    hid.SetReportType(HidChannel::kConnectReports);
    EXPECT_EQ(Send({0x1B, 'e'}), 1);
}

TEST_F(HidChannelTest, LosingTheReaderEndsTheExchangeWhereItIs) {
    const int reader = devices.AddReader(9);
    // What the window does on a removal: search again, and lose the reader.
    auto pull = [&] {
        devices.Pull(reader);
        hid.FindDevice("0471", "E001", "0001");
    };
    // A 26-byte frame goes in four reports, one pass each; pass 5 is the
    // first pass of the reply wait.
    const struct {
        const char* what;
        std::function<void(int pass)> script;
        int32_t result;
    } cases[] = {
        {"pulled in the second report's wait",
         [&](int pass) {
             if (pass == 2)
                 pull();
         },
         3},
        {"the last report fails, pulled in its wait",
         [&](int pass) {
             if (pass == 3)
                 devices.At(reader).failTransfers = true;
             if (pass == 5)
                 pull();
         },
         4},
        {"not connected when the reply wait starts",
         [&](int pass) {
             if (pass == 4)
                 hid.SetConnected(false);
         },
         5},
        {"pulled in the reply wait",
         [&](int pass) {
             if (pass == 5)
                 pull();
         },
         6},
    };
    for (const auto& c : cases) {
        devices.Plug(reader);
        devices.At(reader).failTransfers = false;
        devices.Reader(reader).faults.silent = true;
        Connect();
        pump.passes = 0;
        pump.script = c.script;
        Bytes frame(26, 0x30);
        frame[0] = 0x1B;
        frame[1] = 'S';
        EXPECT_EQ(Send(frame), c.result) << c.what;
        EXPECT_EQ(replyLength, -1) << c.what;  // the reply is left alone
        pump.script = nullptr;
    }
    devices.Plug(reader);
    Connect();
    hid.SetConnected(false);
    EXPECT_EQ(Send({0x1B, 'e'}), 3);
}

TEST_F(HidChannelTest, EveryWaitEndsAfterTheTickLimit) {
    const int reader = devices.AddReader(65);
    Connect();
    devices.Reader(reader).faults.silent = true;  // the reply never comes
    pump.passes = 0;
    EXPECT_EQ(Send({0x1B, 'e'}), 6);
    EXPECT_EQ(pump.passes, 1 + HidChannel::kWaitTickLimit);
    devices.Reader(reader).faults.silent = false;  // an ended wait leaves no time-out behind
    pump.passes = 0;
    EXPECT_EQ(Send({0x1B, 'e'}), 0);
    EXPECT_EQ(pump.passes, 2);

    devices.At(reader).failTransfers = true;  // the report never goes
    pump.passes = 0;
    EXPECT_EQ(Send({0x1B, 'e'}), 4);
    EXPECT_EQ(pump.passes, HidChannel::kWaitTickLimit);
}

TEST_F(HidChannelTest, AReaderWithoutAccessFailsAtOnce) {
    const int reader = devices.AddReader(65);
    devices.At(reader).openable = false;
    Connect();
    EXPECT_TRUE(hid.FoundWithoutAccess());
    pump.passes = 0;
    EXPECT_EQ(Send({0x1B, 'e'}), 4);
    EXPECT_EQ(pump.passes, 1);
}

// The bytes as a trace line shows them.
std::string Hex(const Bytes& bytes) {
    return TraceBody("", "", "", bytes).substr(2);
}

TEST_F(HidChannelTest, TheTraceShowsEachReportWithItsNode) {
    const int reader = devices.AddReader(65);
    const int locked = devices.AddReader(65);
    devices.At(locked).openable = false;
    const std::string node = "usb " + devices.At(reader).info.path;
    const std::string lockedNode = "usb " + devices.At(locked).info.path;
    TraceCapture trace;
    Connect();
    ASSERT_EQ(Send({0x1B, 'R'}), 0);
    hid.Disconnect();
    devices.Pull(reader);
    ASSERT_EQ(Find(), 0);  // the one this user may not open

    Bytes sent(65, 0);
    sent[1] = 0x1B;
    sent[2] = 'R';
    const ConfigBlock config = ReaderModel::DefaultConfig();
    const std::string received =
        node + " <- feature report (65): 00 " + Hex(Bytes(config.begin(), config.end())) + " ";
    const std::vector<std::string> lines = trace.Bodies();
    ASSERT_EQ(lines.size(), 5u) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines[0], node + " reader found");
    EXPECT_EQ(lines[1], node + " -> feature report (65): " + Hex(sent));
    EXPECT_EQ(lines[2].substr(0, received.size()), received);
    EXPECT_EQ(lines[2].size(),
              node.size() + std::string(" <- feature report (65):").size() + 65 * 3);
    EXPECT_EQ(lines[3], node + " closed");
    EXPECT_EQ(lines[4], lockedNode + " reader found, not opened");
}

TEST_F(HidChannelTest, ANodeGoneBeforeItsOpeningIsNotFound) {
    const int reader = devices.AddReader(65);
    devices.At(reader).vanishesOnOpen = true;  // listed, then pulled
    ASSERT_TRUE(hid.Init());
    EXPECT_EQ(Find(), 5);
    EXPECT_FALSE(hid.Connected());
    EXPECT_FALSE(hid.FoundWithoutAccess());
    EXPECT_TRUE(hid.ReaderListed());  // worth another look a moment later

    devices.AddDevice(0x046D, 0xC077, 0x7200, "Mouse");
    EXPECT_EQ(Find(), 5);
    EXPECT_FALSE(hid.ReaderListed());  // the reader is not there at all
}

TEST_F(HidChannelTest, WaitTicksReachOnlyTheWaitTimer) {
    const int reader = devices.AddReader(65);
    Connect();
    devices.Reader(reader).faults.silent = true;
    // Ticks of a timer the wait did not start change nothing: only the
    // disconnect at pass 200 ends this wait, long past the tick limit.
    pump.tickOffset = 7;
    pump.script = [&](int pass) {
        if (pass == 200) {
            hid.Disconnect();
        }
    };
    EXPECT_EQ(Send({0x1B, 'e'}), 6);
    EXPECT_EQ(pump.passes, 200);
    pump.script = nullptr;

    const int id = timer.Start(1000, "test");
    EXPECT_NE(id, 0);
    EXPECT_EQ(RunningTimerObjects(), 1);
    timer.Stop();
    EXPECT_EQ(RunningTimerObjects(), 0);
    timer.Stop();  // stopping again kills nothing
    TimerObject never;
    never.Stop();
    EXPECT_EQ(never.Id(), 0);
}

}  // namespace
