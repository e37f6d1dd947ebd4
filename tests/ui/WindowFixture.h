#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <QTest>
#include <memory>
#include <string>

#include "SimulatedDeviceWatch.h"
#include "SimulatedHidPlatform.h"
#include "app/ProgramObjects.h"
#include "app/UtilityApp.h"
#include "form/ControlIds.h"
#include "ui/MainWindow.h"

// A main window after start-up, shown on screen, on the program's objects
// with the simulated reader's HID devices.
class WindowFixture : public ::testing::Test {
  private:
    // Made first, so that the references below name them; the program's
    // objects own them.
    std::unique_ptr<SimulatedHidPlatform> ownDevices_ = std::make_unique<SimulatedHidPlatform>();
    std::unique_ptr<SimulatedDeviceWatch> ownWatch_ =
        std::make_unique<SimulatedDeviceWatch>(*ownDevices_);

  protected:
    void SetUp() override {
        window = program.MakeWindow();
        UtilityApp::WireWindow(*window);
        window->Initialise();
        window->show();
    }

    QtForm& form() { return window->Form(); }

    // What a technician does with the form.
    void ChooseConnectMode(int mode) {
        EXPECT_TRUE(form().Choose(ctl::ConnectModeList, mode)) << "connect mode " << mode;
    }
    void ChooseCommand(int type) {
        EXPECT_TRUE(form().Choose(ctl::CommandTypeList, type)) << "command " << type;
    }
    void Click(int id) { QTest::mouseClick(form().Widget(id), Qt::LeftButton); }

    // What the form shows, waited for while the window runs.
    static constexpr int kWaitMs = 5000;
    std::string Status() { return form().Text(ctl::StatusLine); }
    bool Becomes(int id, const std::string& text) {
        return QTest::qWaitFor([&] { return form().Text(id) == text; }, kWaitMs);
    }
    bool StatusBecomes(const std::string& text) { return Becomes(ctl::StatusLine, text); }

    static void SaveScreenshot(QWidget& widget, const QString& name) {
        QDir().mkpath(QStringLiteral(TALLISK_SCREENSHOT_DIR));
        widget.grab().save(QStringLiteral(TALLISK_SCREENSHOT_DIR "/") + name);
    }

    SimulatedHidPlatform& hidDevices = *ownDevices_;
    SimulatedDeviceWatch& deviceWatch = *ownWatch_;
    ProgramObjects program{std::move(ownDevices_), std::move(ownWatch_)};
    ReaderStack& readerStack = program.reader;
    SerialPort& serialPort = readerStack.Port();
    HidChannel& hid = readerStack.Hid();
    std::unique_ptr<MainWindow> window;
};
