#pragma once

#include <QTest>
#include <memory>
#include <string>

#include "FakeDevices.h"
#include "HidTestbed.h"
#include "app/ProgramObjects.h"
#include "channels/presence/DeviceWatch.h"
#include "form/ControlIds.h"
#include "ui/MainWindow.h"

// The window on the system's HID back end and udev monitor, for tests
// that run under the umockdev preload with the fake devices.

// The program's objects on the system's HID devices, as the utility builds
// them, and the window after start-up.
struct WindowOnSystemDevices {
    static constexpr int kWaitMs = 5000;

    explicit WindowOnSystemDevices(std::unique_ptr<HidPlatform> platform = MakeLinuxHidPlatform())
        : program(std::move(platform), MakeUdevDeviceWatch()), window(program.MakeWindow()) {
        window->Initialise();
        window->show();
    }

    QtForm& Form() { return window->Form(); }
    MainWindow& Window() { return *window; }
    std::string Status() { return Form().Text(ctl::StatusLine); }
    bool StatusBecomes(const std::string& text) {
        return QTest::qWaitFor([&] { return Status() == text; }, kWaitMs);
    }

    ProgramObjects program;
    HidChannel& hid = program.reader.Hid();
    std::unique_ptr<MainWindow> window;
};
