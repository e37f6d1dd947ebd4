#include <QEventLoop>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdlib>

#include "PtyReaderLink.h"
#include "ResourceCount.h"
#include "SpySerialDevice.h"
#include "WindowFixture.h"
#include "form/ControlIds.h"
#include "protocol/CommandSet.h"

namespace {

constexpr int kUsb = 0;
constexpr int kSerial = 1;

// The window under faults of the reader, the line and the system.
class Faults : public WindowFixture {
  protected:
    void TearDown() override {
        window.reset();
        ::unsetenv("TALLISK_COM1");
    }

    void StartWith(std::function<void()> devices) {
        devices();
        WindowFixture::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void SetUp() override {}

    bool StatusLeaves(const std::string& text) {
        return QTest::qWaitFor([&] { return Status() != text; }, kWaitMs);
    }
    static bool RunLoopUntil(const std::function<bool()>& done, int limitMs) {
        QEventLoop loop;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, [&] {
            if (done()) {
                loop.quit();
            }
        });
        QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
        check.start(20);
        loop.exec();
        return done();
    }
    // Whatever went wrong, the window can still do its work.
    void ExpectUsable() {
        ChooseCommand(kDeviceConnect);
        Click(ctl::SendCmd);
        EXPECT_TRUE(StatusBecomes("Status: Connect To Device!")) << Status();
    }
};

TEST_F(Faults, UnpluggingAtEveryStepOfAMultiReportExchange) {
    int reader = 0;
    // Reports with one byte of payload: a 3-byte command goes in three.
    StartWith([&] { reader = hidDevices.AddReader(2); });
    const ResourceCount before = ResourceCount::Now();
    // Pulled once the exchange runs and this many reports went: before the
    // first, in the middle of the frame, and in the wait for the reply.
    for (size_t reports = 0; reports <= 3; ++reports) {
        ChooseCommand(kMsrReadLimit);
        hidDevices.Reader(reader).faults.silent = true;
        auto& sent = hidDevices.At(reader).sentReports;
        const size_t base = sent.size();
        QTimer pull;
        QObject::connect(&pull, &QTimer::timeout, [&] {
            if (window->Usb().Running() && sent.size() >= base + reports) {
                pull.stop();
                hidDevices.Pull(reader);
            }
        });
        pull.start(0);
        Click(ctl::SendCmd);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !pull.isActive() && !window->Usb().Running(); }, kWaitMs))
            << reports;
        QTest::qWait(50);
        EXPECT_NE(Status(), "Status: MSR Read Limit Setup Ok!") << reports;
        EXPECT_FALSE(form().IsEnabled(ctl::CommandTypeList)) << reports;
        EXPECT_FALSE(window->UsbPollRunning()) << reports;
        hidDevices.Reader(reader).faults.silent = false;
        hidDevices.Plug(reader);
        ASSERT_TRUE(StatusBecomes("Status: Tallisk Is Connected!")) << reports;
        EXPECT_EQ(RunningTimerObjects(), 0);
    }
    ChooseCommand(kMsrReadLimit);
    Click(ctl::SendCmd);
    EXPECT_TRUE(StatusBecomes("Status: Command Execute fail!!"));  // one byte comes back
    EXPECT_EQ(ResourceCount::Now(), before);
}

TEST_F(Faults, TheLineHangsUpInTheMiddleOfABurst) {
    PtyReaderLink link;
    StartWith([&] {
        ASSERT_TRUE(link.Start());
        ::setenv("TALLISK_COM1", link.Path().c_str(), 1);
    });
    const ResourceCount before = ResourceCount::Now();
    ChooseConnectMode(kSerial);
    ASSERT_EQ(Status(), "Status: Serial Open Success");
    link.SetTiming({0, 400});
    QTimer::singleShot(200, [&link] { link.Hangup(); });  // inside the pause
    ChooseCommand(kDeviceTypeSetup);
    EXPECT_TRUE(StatusBecomes("Status: Read Device Config Fail!"));
    QTest::qWait(300);
    ChooseConnectMode(kSerial);  // the terminal is gone with its reader
    EXPECT_EQ(Status(), "Status: Serial Open Fail!");
    ChooseConnectMode(kUsb);
    EXPECT_EQ(Status(), "Status: Find No Device!");
    // No monitor thread is left; the reader's own thread ended with the line.
    EXPECT_LT(ResourceCount::Now().threads, before.threads);
}

TEST_F(Faults, EachSerialSettingStepThatFailsIsShownInItsBox) {
    PtyReaderLink link;
    StartWith([&] {
        ASSERT_TRUE(link.Start());
        ::setenv("TALLISK_COM1", link.Path().c_str(), 1);
    });
    for (const SettingStep& c : kSettingSteps) {
        auto device = std::make_unique<SpySerialDevice>();
        device->failing = c.step;
        auto devices = std::make_unique<SimulatedHidPlatform>();
        auto watch = std::make_unique<SimulatedDeviceWatch>(*devices);
        ReaderStack stack(std::move(devices), std::move(watch), std::move(device));
        MainWindow w(stack);
        UtilityApp::WireSerialPort(stack.Port(), &w);
        w.Initialise();
        QString title;
        QString text;
        QTimer::singleShot(0, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                title = box->windowTitle();
                text = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text();
                box->close();
            }
        });
        EXPECT_TRUE(w.Form().Choose(ctl::ConnectModeList, kSerial));
        EXPECT_EQ(title, QStringLiteral("Application Error")) << c.step;
        EXPECT_EQ(text.toStdString(), std::string("WARNING:  ") + c.operation +
                                          " Failed with the following error: \nInput/output "
                                          "error\nPort: 1\n");
        EXPECT_EQ(w.Form().Text(ctl::StatusLine), "Status: Serial Open Success");
    }
}

TEST_F(Faults, ANodeThisUserMayNotOpen) {
    StartWith([&] { hidDevices.At(hidDevices.AddReader()).openable = false; });
    EXPECT_EQ(Status(), "Status: Find Tallisk, Access Denied!");
    ChooseCommand(kDeviceConnect);
    Click(ctl::SendCmd);
    EXPECT_TRUE(StatusBecomes("Status: Send Data Fail!"));
    EXPECT_TRUE(form().IsEnabled(ctl::CommandTypeList));
}

TEST_F(Faults, ReportLengthsTheBuffersCannotHold) {
    int reader = 0;
    StartWith([&] { reader = hidDevices.AddReader(); });
    const struct {
        uint16_t length;
        const char* status;
    } cases[] = {
        {0, "Status: Data Length Type Error!"},    {1, "Status: Data Length Type Error!"},
        {2, "Status: Command Execute fail!!"},  // one payload byte: only ESC comes back
        {128, "Status: Connect To Device!"},       {129, "Status: Data Length Type Error!"},
        {4096, "Status: Data Length Type Error!"},
    };
    for (const auto& c : cases) {
        hidDevices.At(reader).lengths.feature = c.length;
        EXPECT_TRUE(form().Choose(ctl::DeviceNameList, 0));  // reconnect: learn the lengths
        ChooseCommand(kDeviceConnect);
        Click(ctl::SendCmd);
        EXPECT_TRUE(StatusBecomes(c.status)) << c.length << ": " << Status();
    }
}

TEST_F(Faults, AMegabyteFloodOnTheSerialLine) {
    PtyReaderLink link;
    StartWith([&] {
        ASSERT_TRUE(link.Start());
        ::setenv("TALLISK_COM1", link.Path().c_str(), 1);
    });
    ChooseConnectMode(kSerial);
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // Each byte costs several times more under a sanitizer: a quarter of the
    // flood is still sixty-four reads' worth.
    const std::vector<uint8_t> flood(1 << 18, 'x');
#else
    const std::vector<uint8_t> flood(1 << 20, 'x');
#endif
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        link.Send(flood);
        sent = true;
    });
    // The window's own loop, which sleeps only while nothing is queued, as
    // the modal run does.
    // A read keeps its first bytes only: a line that never pauses does not
    // grow the program. On a loaded machine the sender may pause and end a
    // read early; a later read is then the one that fills up.
    const std::string full(kMaxReadTextBytes, 'x');
    const bool complete = RunLoopUntil(
        [&] {
            return form().Text(ctl::ComparisonBox) == full ||
                   form().Text(ctl::CheckReadDataBox) == full;
        },
        300000);
    EXPECT_TRUE(complete);
    // A pause in the flood may complete the read before the last byte is
    // sent: the window keeps taking the rest, or the sender never ends.
    if (!complete || !RunLoopUntil([&] { return sent.load(); }, 300000)) {
        link.Hangup();  // the sender would wait for room for ever
    }
    sender.join();
    // The tail of the flood may still be on its way: the command goes out
    // once the line is quiet, as a technician's would.
    EXPECT_TRUE(RunLoopUntil([&] { return !window->Serial().BurstActive(); }, 300000));
    EXPECT_EQ(readerStack.Serial().Reply().length, kExchangeBufferSize);
    ChooseCommand(kDeviceTypeSetup);
    EXPECT_TRUE(StatusBecomes("Status: Read Device Config Ok,Please Preserve After Change!"));
}

TEST_F(Faults, AThousandReconnectionsWithTraffic) {
    PtyReaderLink link;
    StartWith([&] {
        hidDevices.AddReader();
        ASSERT_TRUE(link.Start());
        ::setenv("TALLISK_COM1", link.Path().c_str(), 1);
    });
    // The serial port keeps its two events from one opening to the next.
    ChooseConnectMode(kSerial);
    ChooseConnectMode(kUsb);
    const ResourceCount before = ResourceCount::Now();
    const std::vector<uint8_t> read = {'T', '1', '2', '3', 'T', '\r', '\n'};
    for (int cycle = 0; cycle < 1000; ++cycle) {
        ChooseConnectMode(cycle % 2 == 0 ? kSerial : kUsb);
        if (cycle % 2 == 0) {
            link.Send(read);
        } else {
            QTest::keyClicks(form().Widget(ctl::ComparisonBox), QStringLiteral("T123T"));
        }
        if (cycle % 100 == 0) {
            QTest::qWait(150);  // let a burst complete now and then
        } else {
            QCoreApplication::processEvents();
        }
    }
    ChooseConnectMode(kUsb);
    ExpectUsable();
    EXPECT_EQ(ResourceCount::Now(), before);
}

TEST_F(Faults, KeystrokesDuringAnExchangeAreNotGathered) {
    int reader = 0;
    StartWith([&] { reader = hidDevices.AddReader(); });
    hidDevices.Reader(reader).faults.silent = true;
    ChooseCommand(kDeviceConnect);
    QTimer::singleShot(100, [this] {
        QTest::keyClicks(form().Widget(ctl::ComparisonBox), QStringLiteral("12345678901234567890"));
    });
    QTimer::singleShot(400, [&] { hidDevices.Pull(reader); });
    Click(ctl::SendCmd);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Usb().Running(); }, kWaitMs));
    EXPECT_EQ(window->Usb().KeyCount(), 0);
    QTest::qWait(250);
    EXPECT_EQ(form().Text(ctl::TotalCounter), "Total Count :0");
    EXPECT_EQ(form().Text(ctl::CheckReadDataBox), "");
}

}  // namespace
