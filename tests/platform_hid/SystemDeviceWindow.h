#pragma once

#include <QTest>
#include <memory>
#include <string>

#include "ControlIds.h"
#include "DeviceWatch.h"
#include "HidTestbed.h"
#include "MainWindow.h"
#include "ProgramObjects.h"
#include "ReportDescriptors.h"

// Fake devices and the window on the system's HID back end and udev
// monitor, for tests that run under the umockdev preload.

inline const FakeUsbHid kReader{
    .vendorId = 0x0471,
    .productId = 0xE001,
    .release = 0x0001,
    .manufacturer = "Tallisk",
    .product = "MICR Reader",
    .descriptor = report_items::kVendorFeature64,
};
inline const FakeUsbHid kMouse{
    .vendorId = 0x1D57,
    .productId = 0x0AD2,
    .release = 0x0110,
    .manufacturer = "Pointer Works",
    .product = "Optical Mouse",
    .descriptor = report_items::kBootMouse,
};

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
    HidChannel& hid = program.hid;
    std::unique_ptr<MainWindow> window;
};
