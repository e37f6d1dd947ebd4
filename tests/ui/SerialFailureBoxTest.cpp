#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "PtyPair.h"
#include "WindowFixture.h"
#include "form/ControlIds.h"

namespace {

constexpr int kUsb = 0;
constexpr int kSerial = 1;
constexpr int kDeviceTypeSetup = 2;

// Ends the run when a step that must return does not, so that a deadlock
// fails the suite instead of stalling it.
class HangGuard {
  public:
    explicit HangGuard(const char* step)
        : watch_([this, step] {
              std::unique_lock<std::mutex> lock(lock_);
              if (!returned_.wait_for(lock, std::chrono::seconds(60), [this] { return done_; })) {
                  std::fprintf(stderr, "%s did not return\n", step);
                  std::abort();
              }
          }) {}
    ~HangGuard() {
        {
            std::lock_guard<std::mutex> lock(lock_);
            done_ = true;
        }
        returned_.notify_all();
        watch_.join();
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

  private:
    std::mutex lock_;
    std::condition_variable returned_;
    bool done_ = false;
    std::thread watch_;
};

// The window on a serial line whose far end the test holds, showing the
// port's failures in the application's own boxes.
class SerialFailureBox : public WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_FALSE(line.path.empty());
        WindowFixture::SetUp();
        UtilityApp::WireSerialPort(serialPort, window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        // A box run modally would hold the test inside it: it is noted and
        // closed, so that the test fails instead of waiting for ever.
        modalWatch.callOnTimeout([this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != nullptr && modal != window.get()) {
                sawModalBox = true;
                modal->close();
            }
        });
        modalWatch.start(50);
        ChooseConnectMode(kSerial);
        ASSERT_EQ(Status(), "Status: Serial Open Success");
    }
    void TearDown() override {
        modalWatch.stop();
        window.reset();
    }

    static QList<QMessageBox*> ErrorBoxes() {
        QList<QMessageBox*> boxes;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box != nullptr && box->isVisible() &&
                box->windowTitle() == QStringLiteral("Application Error")) {
                boxes.append(box);
            }
        }
        return boxes;
    }
    // The one error box, once it is shown; null if none or several are.
    static QMessageBox* ErrorBoxShown() {
        if (!QTest::qWaitFor([] { return !ErrorBoxes().isEmpty(); }, kWaitMs)) {
            return nullptr;
        }
        const QList<QMessageBox*> boxes = ErrorBoxes();
        return boxes.size() == 1 ? boxes.front() : nullptr;
    }
    static void Dismiss(QMessageBox& box) {
        QTest::mouseClick(box.button(QMessageBox::Ok), Qt::LeftButton);
    }

    // A click as the platform delivers it, to the window rather than
    // straight to the control: a window that a modal box blocks drops it.
    void ClickThroughTheWindow(int id) {
        QWidget* control = form().Widget(id);
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          control->mapTo(window.get(), control->rect().center()));
    }

    PtyPair line{1};
    QTimer modalWatch;
    bool sawModalBox = false;
};

std::string BoxText(const std::string& operation) {
    return "WARNING:  " + operation +
           " Failed with the following error: \nInput/output error\nPort: 1\n";
}

TEST_F(SerialFailureBox, ALineThatGoesAwayIsShownWhileTheWindowStaysUsable) {
    line.CloseMaster();
    QPointer<QMessageBox> box = ErrorBoxShown();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text().toStdString(), BoxText("WaitCommEvent()"));
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(sawModalBox);
    EXPECT_TRUE(serialPort.MonitorAlive());  // waiting for the box

    const bool checked = form().IsChecked(ctl::ComparisonCheck);
    ClickThroughTheWindow(ctl::ComparisonCheck);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form().IsChecked(ctl::ComparisonCheck) != checked; },
                                kWaitMs));

    // Once the box is closed the line carries on: a command's write fails
    // and says so in a box of its own; the hang-up is not shown again.
    ASSERT_TRUE(box);
    Dismiss(*box);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box.isNull(); }, kWaitMs));
    ChooseCommand(kDeviceTypeSetup);
    box = ErrorBoxShown();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text().toStdString(), BoxText("WriteFile()"));
    EXPECT_FALSE(sawModalBox);
}

TEST_F(SerialFailureBox, SwitchingToUsbWhileTheBoxIsOpenLetsTheLineGo) {
    line.CloseMaster();
    QPointer<QMessageBox> box = ErrorBoxShown();
    ASSERT_TRUE(box);
    {
        const HangGuard guard("Switching to USB");
        ChooseConnectMode(kUsb);
    }
    EXPECT_FALSE(serialPort.MonitorAlive());
    EXPECT_EQ(window->ConnectModeIndex(), kUsb);

    // The box outlives the line, and closing it later is harmless, also
    // once the window is on a serial line again.
    EXPECT_TRUE(box);
    PtyPair next(1);
    ChooseConnectMode(kSerial);
    ASSERT_EQ(Status(), "Status: Serial Open Success");
    ASSERT_TRUE(box);
    Dismiss(*box);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box.isNull(); }, kWaitMs));
    EXPECT_TRUE(serialPort.MonitorAlive());
    EXPECT_TRUE(ErrorBoxes().isEmpty());
    EXPECT_FALSE(sawModalBox);
}

TEST_F(SerialFailureBox, DestroyingTheWindowWhileTheBoxIsOpenEndsBoth) {
    line.CloseMaster();
    QPointer<QMessageBox> box = ErrorBoxShown();
    ASSERT_TRUE(box);
    {
        const HangGuard guard("Destroying the window");
        window.reset();
    }
    EXPECT_TRUE(box.isNull());  // it went with its parent
    EXPECT_FALSE(serialPort.MonitorAlive());
}

}  // namespace
