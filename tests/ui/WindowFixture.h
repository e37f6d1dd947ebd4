#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <memory>

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
