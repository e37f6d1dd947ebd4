#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <QTest>
#include <memory>
#include <string>

#include "ControlIds.h"
#include "FormActions.h"
#include "MainWindow.h"
#include "QtWaitPump.h"
#include "SimulatedDeviceWatch.h"
#include "SimulatedHidPlatform.h"
#include "UtilityApp.h"

// A main window after start-up, shown on screen.
class WindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<MainWindow>(exchange, serialPort, hid, deviceWatch);
        UtilityApp::WireWindow(*window);
        window->Initialise();
        window->show();
    }

    QtForm& form() { return window->Form(); }

    // What a technician does with the form.
    void ChooseConnectMode(int mode) { ::ChooseConnectMode(form(), mode); }
    void ChooseCommand(int type) { ::ChooseCommand(form(), type); }
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

    ExchangeState exchange;
    SerialPort serialPort;
    SimulatedHidPlatform hidDevices;
    TimerObject waitTimer;
    QtWaitPump waitPump;
    HidChannel hid{&hidDevices, waitTimer, waitPump};
    SimulatedDeviceWatch deviceWatch{hidDevices};
    std::unique_ptr<MainWindow> window;
};
