#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "PtyReaderLink.h"
#include "WindowFixture.h"
#include "form/ControlIds.h"
#include "protocol/CommandSet.h"
#include "protocol/ConfigBlock.h"

namespace {

constexpr int kUsb = 0;
constexpr int kSerial = 1;
const std::string kConfigOk = "Status: Read Device Config Ok,Please Preserve After Change!";

// The whole window against the simulated reader, on the channel of the
// test's parameter, driven with the mouse and the keyboard.
class Workflow : public WindowFixture, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        usbReader = hidDevices.AddReader(65);
        ASSERT_TRUE(serialReader.Start());
        ::setenv("TALLISK_COM1", serialReader.Path().c_str(), 1);
        WindowFixture::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        if (GetParam() == kSerial) {
            ChooseConnectMode(kSerial);
            ASSERT_EQ(form().Text(ctl::StatusLine), "Status: Serial Open Success");
        }
    }
    void TearDown() override {
        window.reset();
        ::unsetenv("TALLISK_COM1");
    }

    // Runs f on the model of the reader at the far end of the channel.
    template <typename F>
    auto WithReader(F f) {
        if (GetParam() == kSerial) {
            return serialReader.WithModel(f);
        }
        return f(hidDevices.Reader(usbReader));
    }
    ConfigBlock StoredConfig() {
        return WithReader([](ReaderModel& m) { return m.Config(); });
    }

    bool ReadConfiguration() {
        ChooseCommand(kDeviceTypeSetup);
        return StatusBecomes(kConfigOk);
    }

    // A read as the reader sends it: typed keys on USB, bytes on serial.
    void Read(const std::string& text) {
        if (GetParam() == kSerial) {
            serialReader.Send(std::vector<uint8_t>(text.begin(), text.end()));
        } else {
            for (char c : text) {
                const int key = c == '\r' ? Qt::Key_Return : c == '\n' ? Qt::Key_Enter : Qt::Key_A;
                QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(QChar(c)));
                QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(QChar(c)));
                QApplication::sendEvent(QApplication::focusWidget(), &press);
                QApplication::sendEvent(QApplication::focusWidget(), &release);
            }
        }
    }

    int usbReader = 0;
    PtyReaderLink serialReader;
};

std::string ParamName(const ::testing::TestParamInfo<int>& info) {
    return info.param == kSerial ? "Serial" : "Usb";
}

TEST_P(Workflow, EveryCommandIsSentAndItsAnswerShown) {
    const struct {
        int command;
        std::vector<int> clicks;
        const char* success;
        std::function<bool(const ConfigBlock&)> stored;
    } cases[] = {
        {kDeviceConnect, {}, "Status: Connect To Device!", [](const ConfigBlock&) { return true; }},
        {kDeviceTypeSetup,
         {ctl::DorrinRadio},
         "Status: Device Tpye Setup Ok!",
         [](const ConfigBlock& c) { return c[0] == '3'; }},
        {kCheckStandardsSetup,
         {ctl::CheckCmc7Radio},
         "Status: Check Standards Setup Ok!",
         [](const ConfigBlock& c) { return (c[1] & 0x80) != 0; }},
        {kMsr1StandardsSetup,
         {ctl::Msr1BcRadio},
         "Status: MSR1 Standards Setup Ok!",
         [](const ConfigBlock& c) { return (c[8] & 7) == 3; }},
        {kMsr2StandardsSetup,
         {ctl::Msr2IbmfRadio},
         "Status: MSR2 Standards Setup Ok!",
         [](const ConfigBlock& c) { return (c[9] & 7) == 1; }},
        {kMsr3StandardsSetup,
         {ctl::Msr3DinRadio},
         "Status: MSR3 Standards Setup Ok!",
         [](const ConfigBlock& c) { return (c[10] & 7) == 5; }},
        {kMsrCodeTypeSetup,
         {ctl::Msr1Aba2Radio, ctl::Msr2IataRadio, ctl::Msr3Aba1Radio},
         "Status: MSR Code Type Setup Ok!",
         [](const ConfigBlock& c) { return c[8] >> 4 == 1 && c[9] >> 4 == 2 && c[10] >> 4 == 0; }},
        {kMsrReadLimit,
         {ctl::Track1LimitCheck, ctl::Track3LimitCheck},
         "Status: MSR Read Limit Setup Ok!",
         [](const ConfigBlock& c) { return c[11] == 2; }},  // tracks 1 and 3 were on
        {kDeviceInitial,
         {},
         "Status: Devive Initial Ok!",
         [](const ConfigBlock& c) { return c == ReaderModel::DefaultConfig(); }},
    };
    for (const auto& c : cases) {
        if (c.command == kDeviceTypeSetup) {
            ASSERT_TRUE(ReadConfiguration());
        } else {
            ChooseCommand(c.command);
            ASSERT_TRUE(form().IsEnabled(ctl::SendCmd)) << c.success;
        }
        for (int id : c.clicks) {
            Click(id);
        }
        Click(ctl::SendCmd);
        EXPECT_TRUE(StatusBecomes(c.success)) << c.success << " / " << Status();
        EXPECT_TRUE(c.stored(StoredConfig())) << c.success;
    }
    WithReader([](ReaderModel& m) { m.faults.refuse = true; });
    ChooseCommand(kMsrReadLimit);
    Click(ctl::SendCmd);
    EXPECT_TRUE(StatusBecomes("Status: Command Execute fail!!"));
}

TEST_P(Workflow, ACustomConfigurationIsEditedAndWrittenBack) {
    ASSERT_TRUE(ReadConfiguration());
    for (int id : AllSettingsControlIds()) {
        EXPECT_TRUE(form().IsEnabled(id)) << id;
    }
    EXPECT_TRUE(form().IsChecked(ctl::CustomRadio));
    EXPECT_TRUE(form().IsChecked(ctl::CheckAllDataReturnRadio));
    Click(ctl::CheckCmc7Radio);
    Click(ctl::MicrSeparator1Check);  // S1 no longer used
    Click(ctl::MsrNoLfAtEndRadio);
    form().SelectIndex(ctl::MicrSeparator1List, 5);  // S1 is 0x06
    Click(ctl::SendCmd);
    ASSERT_TRUE(StatusBecomes("Status: Device Tpye Setup Ok!"));
    const ConfigBlock stored = StoredConfig();
    DeviceSettings storedSettings;
    DecodeBlockSettings(stored, storedSettings);
    EXPECT_EQ(storedSettings, window->Record().configuration.settings);
    EXPECT_EQ(stored[2], 0x06);
    EXPECT_EQ(stored[13] & 0x01, 0x01);
    EXPECT_EQ(stored[14], 0x12);  // never decoded, sent back as read
    EXPECT_EQ(stored[15], 0x34);
}

TEST_P(Workflow, ANamedDeviceTypeOpensOnlyItsGroup) {
    WithReader([](ReaderModel& m) {
        ConfigBlock config = m.Config();
        config[0] = '3';
        m.SetConfig(config);
    });
    ASSERT_TRUE(ReadConfiguration());
    EXPECT_TRUE(form().IsChecked(ctl::DorrinRadio));
    for (int id : AllSettingsControlIds()) {
        const bool open =
            (id >= ctl::DeviceTypeFrame && id <= ctl::LastDeviceTypeRadio) || id == ctl::SendCmd;
        const bool test = std::find(TestControlIds().begin(), TestControlIds().end(), id) !=
                          TestControlIds().end();
        EXPECT_EQ(form().IsEnabled(id), open || test) << id;
    }
    Click(ctl::CustomRadio);  // CUSTOM opens everything
    EXPECT_TRUE(form().IsEnabled(ctl::SelfDefineCodeFrame));
    Click(ctl::LomardRadio);  // another named type closes it again
    EXPECT_FALSE(form().IsEnabled(ctl::SelfDefineCodeFrame));
    EXPECT_TRUE(form().IsEnabled(ctl::DeviceTypeFrame));
    ChooseCommand(kMsr1StandardsSetup);  // a command closes the Device Type group
    EXPECT_FALSE(form().IsEnabled(ctl::DeviceTypeFrame));
    EXPECT_TRUE(form().IsEnabled(ctl::Msr1StandardsFrame));
}

TEST_P(Workflow, ReadsAreComparedWithTheReferenceAndCounted) {
    const std::string cheque = "A021000021A 123456789B";
    const std::string total = "Total Count :";
    const std::string successes = "SuccessCount:";
    Read(cheque + "\r\n");
    ASSERT_TRUE(Becomes(ctl::ComparisonBox, cheque));
    EXPECT_EQ(form().Text(ctl::TotalCounter), total + "0");
    Read(cheque + "\r\n");
    EXPECT_TRUE(Becomes(ctl::SuccessCounter, successes + "1"));
    EXPECT_EQ(form().Text(ctl::TotalCounter), total + "1");
    Read("A021000021A 123456780B\r\n");  // one character differs
    EXPECT_TRUE(Becomes(ctl::TotalCounter, total + "2"));
    Read("a021000021A 123456789B\r\n");  // letter case differs
    EXPECT_TRUE(Becomes(ctl::TotalCounter, total + "3"));
    EXPECT_EQ(form().Text(ctl::SuccessCounter), successes + "1");

    Click(ctl::ComparisonCheck);  // cleared: every read only counted and copied
    EXPECT_EQ(form().Text(ctl::TotalCounter), total + "0");
    EXPECT_EQ(form().Text(ctl::SuccessCounter), successes + "0");
    EXPECT_EQ(form().Text(ctl::ComparisonBox), cheque);
    Read("B999888777B 000111222B\r\n");
    EXPECT_TRUE(Becomes(ctl::ComparisonBox, "B999888777B 000111222B"));
    EXPECT_EQ(form().Text(ctl::TotalCounter), total + "1");
    Click(ctl::ComparisonCheck);  // set again: compared with the last read
    Read("B999888777B 000111222B\r\n");
    EXPECT_TRUE(Becomes(ctl::SuccessCounter, successes + "1"));

    Click(ctl::CountAgain);
    EXPECT_EQ(form().Text(ctl::ComparisonBox), "");
    EXPECT_EQ(form().Text(ctl::CheckReadDataBox), "");
    EXPECT_EQ(form().Text(ctl::TotalCounter), total + "0");
    EXPECT_EQ(form().Text(ctl::SuccessCounter), successes + "0");
}

TEST_P(Workflow, ShortKeyBurstsAndControlOnlyBursts) {
    if (GetParam() == kUsb) {
        Read("1234567890123\r\n");  // 15 characters with CR and LF: a read
        EXPECT_TRUE(Becomes(ctl::ComparisonBox, "1234567890123"));
        Read("12345678901234");  // 14: shown, not a read
        EXPECT_TRUE(Becomes(ctl::CheckReadDataBox, "12345678901234"));
        QTest::qWait(300);
        EXPECT_EQ(form().Text(ctl::ComparisonBox), "1234567890123");
        EXPECT_EQ(form().Text(ctl::TotalCounter), "Total Count :0");
    } else {
        Click(ctl::ComparisonCheck);  // every read is counted
        Read("X\r\n");
        ASSERT_TRUE(Becomes(ctl::TotalCounter, "Total Count :1"));
        Read("\x02\x03\r\n");  // only control bytes: a read with an empty text
        EXPECT_TRUE(Becomes(ctl::TotalCounter, "Total Count :2"));
        EXPECT_EQ(form().Text(ctl::ComparisonBox), "");
    }
}

TEST_P(Workflow, ClosingTheConnectModeListReconnects) {
    Read("A021000021A 123456789B\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form().Text(ctl::ComparisonBox).empty(); }, kWaitMs));
    ChooseConnectMode(GetParam());  // the same mode: closed and opened again
    EXPECT_EQ(form().Text(ctl::ComparisonBox), "");
    EXPECT_EQ(form().ListCount(ctl::CommandTypeList), 9);
    EXPECT_EQ(form().SelectedIndex(ctl::CommandTypeList), -1);
    EXPECT_FALSE(form().IsEnabled(ctl::SendCmd));
    EXPECT_EQ(Status(),
              GetParam() == kSerial ? "Status: Serial Open Success" : "Status: Find Tallisk!");
    const int other = GetParam() == kSerial ? kUsb : kSerial;
    ChooseConnectMode(other);
    EXPECT_EQ(window->windowTitle(), other == kSerial ? QStringLiteral("Tallisk [Serial_9600_8_1]")
                                                      : QStringLiteral("Tallisk [USB_HID_Mode]"));
    EXPECT_TRUE(ReadConfiguration());
}

TEST_P(Workflow, SwitchingToSerialDuringAUsbWaitEndsIt) {
    if (GetParam() != kUsb) {
        GTEST_SKIP() << "a USB wait";
    }
    hidDevices.Reader(usbReader).faults.silent = true;
    ChooseCommand(kDeviceConnect);
    QTimer::singleShot(400, [this] { ChooseConnectMode(kSerial); });
    Click(ctl::SendCmd);
    EXPECT_TRUE(StatusBecomes("Status: Device Communicate Terminate!"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tallisk [Serial_9600_8_1]"));
    EXPECT_TRUE(window->SerialPollRunning());
    EXPECT_TRUE(ReadConfiguration());  // the serial line works
}

INSTANTIATE_TEST_SUITE_P(BothChannels, Workflow, ::testing::Values(kUsb, kSerial), ParamName);

}  // namespace
