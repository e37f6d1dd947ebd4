#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "ReadFormatter.h"
#include "StandardErrorCapture.h"
#include "WindowFixture.h"
#include "form/ControlIds.h"
#include "protocol/ConfigBlock.h"

namespace {

const std::string kConfigOk = "Status: Read Device Config Ok,Please Preserve After Change!";

// The window with the simulated reader on USB.
class UsbWindow : public WindowFixture {
  protected:
    void SetUp() override {
        reader = hidDevices.AddReader(65);
        hidDevices.AddDevice(0x046D, 0xC077, 0x7200, "Mouse");
        WindowFixture::SetUp();
    }

    void Type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    // Presses Send Cmd without moving the keyboard focus.
    void SendCommand() { qobject_cast<QAbstractButton*>(form().Widget(ctl::SendCmd))->click(); }

    int reader = 0;
};

TEST_F(UsbWindow, StartsConnectedAndReadsTheConfiguration) {
    EXPECT_EQ(form().Text(ctl::StatusLine), "Status: Find Tallisk!");
    EXPECT_TRUE(form().IsEnabled(ctl::CommandTypeList));
    EXPECT_TRUE(window->UsbPollRunning());

    ChooseCommand(2);
    ASSERT_TRUE(StatusBecomes(kConfigOk));
    DeviceSettings expected;
    DecodeBlockSettings(ReaderModel::DefaultConfig(), expected);
    EXPECT_EQ(window->Record().configuration.settings, expected);
    EXPECT_TRUE(form().IsEnabled(ctl::SendCmd));
    EXPECT_TRUE(form().IsEnabled(ctl::CommandTypeList));

    form().SetChecked(ctl::Msr1IsoRadio, false);
    form().SetChecked(ctl::Msr1DinRadio, true);
    SendCommand();
    ASSERT_TRUE(StatusBecomes("Status: Device Tpye Setup Ok!"));
    EXPECT_EQ(hidDevices.Reader(reader).Config()[8] & 0x07, 5);
    EXPECT_EQ(hidDevices.Reader(reader).Config()[14], 0x12);
}

TEST_F(UsbWindow, RefusedCommandsSaySo) {
    ChooseCommand(8);
    hidDevices.Reader(reader).faults.refuse = true;
    SendCommand();
    EXPECT_TRUE(StatusBecomes("Status: Command Execute fail!!"));
}

TEST_F(UsbWindow, ReadsTypedByTheReaderAreCounted) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    form().FocusComparisonBox();
    const QString cheque = QStringLiteral("A021000021A 123456789B 0104C0000012500C\r");
    Type(cheque);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form().Text(ctl::ComparisonBox).empty(); }, kWaitMs));
    EXPECT_EQ(form().Text(ctl::ComparisonBox), cheque.chopped(1).toStdString());
    Type(cheque);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return form().Text(ctl::SuccessCounter) == "SuccessCount:1"; }, kWaitMs));

    // Fewer than 15 characters are shown but are not a read.
    Type(QStringLiteral("12345678901234"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return form().Text(ctl::CheckReadDataBox) == "12345678901234"; }, kWaitMs));
    QTest::qWait(250);
    EXPECT_EQ(form().Text(ctl::TotalCounter), "Total Count :1");
}

TEST_F(UsbWindow, FollowsTheReaderBeingPulledAndPlugged) {
    const int keyboard = hidDevices.AddDevice(0x413C, 0x2107, 0x0100, "Keyboard");
    hidDevices.Pull(keyboard);  // another device: nothing changes
    QTest::qWait(50);
    EXPECT_EQ(form().Text(ctl::StatusLine), "Status: Find Tallisk!");

    hidDevices.Pull(reader);
    ASSERT_TRUE(StatusBecomes("Status: Tallisk Is Probably UnConnectend!"));
    EXPECT_FALSE(form().IsEnabled(ctl::CommandTypeList));
    EXPECT_FALSE(form().IsEnabled(ctl::ComparisonBox));
    EXPECT_FALSE(window->UsbPollRunning());

    hidDevices.Plug(keyboard);  // not the reader: still gone
    QTest::qWait(50);
    EXPECT_EQ(form().Text(ctl::StatusLine), "Status: Tallisk Is Probably UnConnectend!");

    hidDevices.Plug(reader);
    ASSERT_TRUE(StatusBecomes("Status: Tallisk Is Connected!"));
    EXPECT_TRUE(form().IsEnabled(ctl::CommandTypeList));
    EXPECT_TRUE(form().IsEnabled(ctl::ComparisonBox));
    EXPECT_TRUE(window->UsbPollRunning());
    EXPECT_EQ(deviceWatch.registrations, 1);  // one registration per connection
}

TEST_F(UsbWindow, APulledReaderAndOneWithoutAccessSayWhyOnStandardError) {
    const std::string path = hidDevices.At(reader).info.path;
    const std::string name = program_invocation_short_name;
    StandardErrorCapture err;
    hidDevices.Pull(reader);
    ASSERT_TRUE(StatusBecomes("Status: Tallisk Is Probably UnConnectend!"));
    hidDevices.At(reader).openable = false;
    hidDevices.Plug(reader);
    ASSERT_TRUE(StatusBecomes("Status: Find Tallisk, Access Denied!"));
    EXPECT_EQ(err.Text(), name + ": " + path + ": the reader was unplugged\n" + name + ": " + path +
                              ": " + std::strerror(EACCES) +
                              "; install the udev rule 70-tallisk.rules and plug the reader in "
                              "again\n");
}

TEST_F(UsbWindow, PullingTheReaderEndsARunningExchange) {
    hidDevices.Reader(reader).faults.silent = true;
    ChooseCommand(1);
    // The exchange dispatches events while it waits: the cable is pulled
    // from inside that wait.
    bool wasRunning = false;
    bool sendCmdLocked = false;
    QTimer::singleShot(400, [&] {
        wasRunning = window->Usb().Running();
        sendCmdLocked = !form().IsEnabled(ctl::SendCmd);
        hidDevices.Pull(reader);
    });
    SendCommand();
    EXPECT_TRUE(StatusBecomes("Status: Device Communicate Terminate!"));
    EXPECT_TRUE(wasRunning);
    EXPECT_TRUE(sendCmdLocked);  // nothing may touch the frame meanwhile
    EXPECT_FALSE(window->Usb().Running());
    // Send Cmd is as it was before the exchange, whatever the connection did.
    EXPECT_TRUE(form().IsEnabled(ctl::SendCmd));

    hidDevices.Reader(reader).faults.silent = false;
    hidDevices.Plug(reader);
    ASSERT_TRUE(StatusBecomes("Status: Tallisk Is Connected!"));
    EXPECT_TRUE(form().IsEnabled(ctl::CommandTypeList));
    ASSERT_TRUE(form().IsEnabled(ctl::SendCmd));
    Click(ctl::SendCmd);
    EXPECT_TRUE(StatusBecomes("Status: Connect To Device!"));
}

// A reader plugged in after the window found none, or after it was pulled
// and the window reconnected, is noticed without a click.
struct LateReaderCase {
    const char* name;
    bool mousePresent;
    bool readerAtStart;  // then pulled, and the Connect Mode list closed on USB
    const char* statusBefore;
};

void PrintTo(const LateReaderCase& c, std::ostream* out) {
    *out << c.name;
}

class LateReader : public WindowFixture, public ::testing::WithParamInterface<LateReaderCase> {
  protected:
    void SetUp() override {
        if (GetParam().mousePresent) {
            hidDevices.AddDevice(0x046D, 0xC077, 0x7200, "Mouse");
        }
        reader = hidDevices.AddReader(65);
        if (!GetParam().readerAtStart) {
            hidDevices.Pull(reader);
            QCoreApplication::processEvents();  // a change from before the window
        }
        WindowFixture::SetUp();
    }
    int reader = 0;
};

TEST_P(LateReader, IsConnectedWhenPluggedIn) {
    if (GetParam().readerAtStart) {
        ASSERT_EQ(Status(), "Status: Find Tallisk!");
        hidDevices.Pull(reader);
        ASSERT_TRUE(StatusBecomes("Status: Tallisk Is Probably UnConnectend!"));
        ChooseConnectMode(0);
    }
    ASSERT_EQ(Status(), GetParam().statusBefore);
    EXPECT_FALSE(form().IsEnabled(ctl::CommandTypeList));

    hidDevices.Plug(reader);
    ASSERT_TRUE(StatusBecomes("Status: Tallisk Is Connected!")) << Status();
    EXPECT_TRUE(form().IsEnabled(ctl::CommandTypeList));
    EXPECT_TRUE(form().IsEnabled(ctl::ComparisonBox));
    EXPECT_TRUE(window->UsbPollRunning());
    ChooseCommand(1);
    Click(ctl::SendCmd);
    EXPECT_TRUE(StatusBecomes("Status: Connect To Device!"));
}

INSTANTIATE_TEST_SUITE_P(
    AfterStartUp, LateReader,
    ::testing::Values(LateReaderCase{"NoDeviceAtAll", false, false, "Status: Find No Device!"},
                      LateReaderCase{"OnlyAMouse", true, false, "Status: Not Find Tallisk!\r\n"},
                      LateReaderCase{"FoundPulledReconnected", true, true,
                                     "Status: Not Find Tallisk!\r\n"}),
    [](const ::testing::TestParamInfo<LateReaderCase>& param) { return param.param.name; });

TEST_F(UsbWindow, ARemovalHandledBeforeTheReadersArrivalConnectsIt) {
    const int mouse = hidDevices.AddDevice(0x1D57, 0x0AD2, 0x0110, "Another mouse");
    hidDevices.Pull(reader);
    ASSERT_TRUE(StatusBecomes("Status: Tallisk Is Probably UnConnectend!"));
    // The reader comes back while a mouse goes; the mouse's removal is
    // handled first, and the reader's arrival after it finds it connected.
    hidDevices.At(reader).present = true;
    hidDevices.Pull(mouse);
    hidDevices.Plug(reader);
    EXPECT_TRUE(StatusBecomes("Status: Tallisk Is Connected!"));
    EXPECT_TRUE(form().IsEnabled(ctl::CommandTypeList));
    EXPECT_TRUE(window->UsbPollRunning());
}

TEST_F(UsbWindow, AReaderThatMayNotBeOpenedSaysSoOnArrival) {
    hidDevices.At(reader).openable = false;
    hidDevices.Pull(reader);
    ASSERT_TRUE(StatusBecomes("Status: Tallisk Is Probably UnConnectend!"));
    hidDevices.Plug(reader);
    EXPECT_TRUE(StatusBecomes("Status: Find Tallisk, Access Denied!"));
}

TEST_F(UsbWindow, DeviceChangesMeanNothingInSerialMode) {
    ::setenv("TALLISK_COM1", "/dev/no-such-tty", 1);
    ChooseConnectMode(1);
    ::unsetenv("TALLISK_COM1");
    EXPECT_FALSE(deviceWatch.Registered());
    hidDevices.Pull(reader);
    hidDevices.Plug(reader);
    QTest::qWait(50);
    EXPECT_EQ(form().Text(ctl::StatusLine), "Status: Serial Open Fail!");
}

TEST_F(UsbWindow, AFailedRegistrationIsReportedAndTheReaderUsed) {
    deviceWatch.refuseRegistration = true;
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            shown = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text();
            box->close();
        }
    });
    EXPECT_TRUE(form().Choose(ctl::DeviceNameList, 0));  // reconnects
    EXPECT_EQ(shown, QStringLiteral("Can Not Register Current USB_HID!"));
    EXPECT_TRUE(form().IsEnabled(ctl::CommandTypeList));
    EXPECT_EQ(form().Text(ctl::StatusLine), "Status: Find Tallisk!");
}

}  // namespace
