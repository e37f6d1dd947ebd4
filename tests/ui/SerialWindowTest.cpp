#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "PtyReaderLink.h"
#include "ReadFormatter.h"
#include "StandardErrorCapture.h"
#include "WindowFixture.h"
#include "form/ControlIds.h"
#include "protocol/CommandSet.h"
#include "protocol/ConfigBlock.h"

namespace {

// The window on the serial line, with the simulated reader at its far end.
class SerialWindow : public WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(reader.Start());
        ::setenv("TALLISK_COM1", reader.Path().c_str(), 1);
        WindowFixture::SetUp();
    }
    void TearDown() override {
        window.reset();
        ::unsetenv("TALLISK_COM1");
    }

    void SendRead(const std::vector<uint8_t>& bytes) { reader.Send(bytes); }

    PtyReaderLink reader;
};

const std::string kConfigOk = "Status: Read Device Config Ok,Please Preserve After Change!";

TEST_F(SerialWindow, ReadsTheConfigurationAndWritesItBack) {
    ChooseConnectMode(1);
    EXPECT_EQ(form().Text(ctl::StatusLine), "Status: Serial Open Success");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tallisk [Serial_9600_8_1]"));
    EXPECT_TRUE(form().IsEnabled(ctl::CommandTypeList));
    EXPECT_TRUE(window->SerialPollRunning());

    ChooseCommand(2);
    ASSERT_TRUE(StatusBecomes(kConfigOk));
    DeviceSettings expected;
    DecodeBlockSettings(ReaderModel::DefaultConfig(), expected);
    EXPECT_EQ(window->Record().configuration.settings, expected);
    EXPECT_TRUE(form().IsEnabled(ctl::SelfDefineCodeFrame));  // CUSTOM: everything editable
    EXPECT_EQ(form().SelectedIndex(ctl::MicrSeparator1List), 'A' - 1);

    form().SetChecked(ctl::CheckE13bRadio, false);
    form().SetChecked(ctl::CheckCmc7Radio, true);
    Click(ctl::SendCmd);
    ASSERT_TRUE(StatusBecomes("Status: Device Tpye Setup Ok!"));
    const ConfigBlock stored = reader.WithModel([](ReaderModel& m) { return m.Config(); });
    EXPECT_EQ(stored[1], 0xC3);
    EXPECT_EQ(stored[14], 0x12);  // bytes nobody decodes went back unchanged
    EXPECT_EQ(stored[15], 0x34);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->UsbPollRunning(); }, kWaitMs));
}

TEST_F(SerialWindow, RefusalsAndSplitRepliesShowFailures) {
    ChooseConnectMode(1);
    reader.WithModel([](ReaderModel& m) { m.faults.refuse = true; });
    ChooseCommand(3);
    form().SetChecked(ctl::CheckE13bRadio, true);
    Click(ctl::SendCmd);
    EXPECT_TRUE(StatusBecomes("Status: Command Execute fail!!"));

    // A pause inside the reply splits it: the first part is the reply, the
    // rest a read.
    reader.WithModel([](ReaderModel& m) { m.faults.refuse = false; });
    reader.SetTiming({0, 300});
    ChooseCommand(2);
    EXPECT_TRUE(StatusBecomes("Status: Read Device Config Fail!"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form().Text(ctl::ComparisonBox).empty(); }, kWaitMs));
    EXPECT_FALSE(form().IsEnabled(ctl::CheckE13bRadio));
}

// A reply of the block's length that no reader could hold (garbage, or an
// acknowledgement where the configuration should be) is refused as a read
// that failed, and Send Cmd then sends no block: it would carry bytes 14
// and 15 as zeros, though the settings of an earlier read are complete.
TEST_F(SerialWindow, AConfigurationNoReaderCouldHoldIsRefused) {
    ChooseConnectMode(1);
    ChooseCommand(kDeviceTypeSetup);
    ASSERT_TRUE(StatusBecomes(kConfigOk));
    const struct {
        ConfigBlock reply;
        const char* what;
    } cases[] = {
        {{0xBF, 0x43, 'A',  'B',  'C',  'D',  'E', '?', 0x20, 0x00, 0x10, 0x07,
          '*',  0x00, 0x12, 0x34, 0x23, 0x3F, '%', '?', ';',  '?',  ';',  '?'},
         "device type 0xBF"},
        {{0x1B, '0'}, "an acknowledgement padded with zeros"},
        {{'0', 0x43, 'A',  'B',  'C',  'D',  'E', '?', 0x37, 0x00, 0x10, 0x07,
          '*', 0x00, 0x12, 0x34, 0x23, 0x3F, '%', '?', ';',  '?',  ';',  '?'},
         "MSR1 standard 7 and code type 3"},
    };
    for (const auto& c : cases) {
        reader.WithModel([&c](ReaderModel& m) { m.SetConfig(c.reply); });
        ChooseCommand(kDeviceInitial);
        ChooseCommand(kDeviceTypeSetup);
        EXPECT_TRUE(StatusBecomes("Status: Read Device Config Fail!")) << c.what;
        EXPECT_FALSE(form().IsEnabled(ctl::CustomRadio)) << c.what;
        const size_t sent = reader.ReceivedFrames().size();
        Click(ctl::SendCmd);
        EXPECT_EQ(Status(), "Status: Read Device Config Fail!") << c.what;
        QTest::qWait(300);
        EXPECT_EQ(reader.ReceivedFrames().size(), sent) << c.what << ": nothing went out";
    }
}

TEST_F(SerialWindow, ReadsAreShownComparedAndCounted) {
    ChooseConnectMode(1);
    const std::vector<uint8_t> cheque =
        FormatChequeRead(ReaderModel::DefaultConfig(), kSampleChequeLines[0]);
    SendRead(cheque);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form().Text(ctl::ComparisonBox).empty(); }, kWaitMs));
    EXPECT_EQ(form().Text(ctl::ComparisonBox), form().Text(ctl::CheckReadDataBox));
    EXPECT_EQ(form().Text(ctl::ComparisonBox).find('\r'), std::string::npos);
    SendRead(cheque);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return form().Text(ctl::SuccessCounter) == "SuccessCount:1"; }, kWaitMs));
    EXPECT_EQ(form().Text(ctl::TotalCounter), "Total Count :1");
}

TEST_F(SerialWindow, ReadsAreComparedByteForByteAsTheyArrived) {
    ChooseConnectMode(1);
    // A no-break space and other high bytes, which a text box may give back
    // changed, and a read that differs from the reference only there.
    const std::vector<uint8_t> read = {0x02, 'A', 0xA0, 'B', 0xFF, 0x80, ' ', 'C', 0x03, 0x0D};
    std::vector<uint8_t> blankInstead = read;
    blankInstead[2] = ' ';
    const struct {
        const std::vector<uint8_t>& bytes;
        const char* successes;
        const char* total;
    } reads[] = {
        {read, "SuccessCount:0", "Total Count :0"},  // the reference
        {read, "SuccessCount:1", "Total Count :1"},
        {blankInstead, "SuccessCount:1", "Total Count :2"},
        {read, "SuccessCount:2", "Total Count :3"},
    };
    for (const auto& r : reads) {
        SendRead(r.bytes);
        if (&r == &reads[0]) {
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return !form().Text(ctl::ComparisonBox).empty(); }, kWaitMs));
        }
        EXPECT_TRUE(Becomes(ctl::TotalCounter, r.total)) << r.total;
        EXPECT_EQ(form().Text(ctl::SuccessCounter), r.successes) << r.total;
    }
}

TEST_F(SerialWindow, AStreamWithoutAPauseEndsAsOneBoundedRead) {
    ChooseConnectMode(1);
    // Never 100 ms without a byte: one read, far longer than any real one.
    // The peer writes from a thread of its own, as a device would, while the
    // window takes the bytes.
    // The window's own event loop runs meanwhile (a test wait would sleep
    // between passes, and take a byte a pass).
    std::atomic<bool> streamed{false};
    std::thread peer([&] {
        const std::vector<uint8_t> chunk(512, '7');
        for (int i = 0; i < 12; ++i) {
            SendRead(chunk);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        streamed = true;
    });
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (streamed && !form().Text(ctl::ComparisonBox).empty()) {
            loop.quit();
        }
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    check.start(10);
    loop.exec();
    peer.join();
    const std::string kept(kMaxReadTextBytes, '7');
    EXPECT_TRUE(form().Text(ctl::ComparisonBox) == kept)
        << form().Text(ctl::ComparisonBox).size() << " " << form().Text(ctl::TotalCounter);
    EXPECT_TRUE(form().Text(ctl::CheckReadDataBox) == kept)
        << form().Text(ctl::CheckReadDataBox).size();
    EXPECT_EQ(form().Text(ctl::TotalCounter), "Total Count :0");  // it became the reference
}

TEST_F(SerialWindow, SwitchingBackToUsbLetsThePortGo) {
    ChooseConnectMode(1);
    ChooseConnectMode(0);
    EXPECT_FALSE(window->SerialPollRunning());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tallisk [USB_HID_Mode]"));
    SerialPort other;
    EXPECT_TRUE(other.OpenPort(1, 9600, 'N', 8, 1, 9, 512));
}

TEST_F(SerialWindow, APortThatWillNotOpenLeavesTheCommandsClosed) {
    ::setenv("TALLISK_COM1", "/dev/no-such-tty", 1);
    ChooseConnectMode(1);
    EXPECT_EQ(form().Text(ctl::StatusLine), "Status: Serial Open Fail!");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tallisk [Serial_9600_8_1]"));
    EXPECT_FALSE(form().IsEnabled(ctl::CommandTypeList));
    EXPECT_TRUE(form().IsEnabled(ctl::ComparisonBox));
    EXPECT_FALSE(window->SerialPollRunning());
}

TEST_F(SerialWindow, APortThatWillNotOpenSaysWhyOnStandardError) {
    ::setenv("TALLISK_COM1", "/dev/no-such-tty", 1);
    StandardErrorCapture err;
    ChooseConnectMode(1);
    EXPECT_EQ(err.Text(), std::string(program_invocation_short_name) + ": /dev/no-such-tty: " +
                              std::strerror(ENOENT) + "; no such device\n");
    EXPECT_EQ(form().Text(ctl::StatusLine), "Status: Serial Open Fail!");
}

}  // namespace
