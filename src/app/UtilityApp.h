#pragma once

#include <memory>

#include "DeviceWatch.h"
#include "ExchangeState.h"
#include "HidChannel.h"
#include "HidPlatform.h"
#include "QtWaitPump.h"
#include "SerialPort.h"
#include "TimerObject.h"

class MainWindow;
class QApplication;

// The application: prepares Qt, runs the main window modally and ends the
// program when that run ends.
class UtilityApp {
  public:
    // Name, version and icon of the program, set on the Qt application.
    static void PrepareApplication(QApplication& app);

    // Connects the window's menu to the About box.
    static void WireWindow(MainWindow& window);
    // Shows the serial port's failures in the error box.
    static void WireSerialPort(SerialPort& port);

    int Run();

  private:
    // The program-wide objects, built before the window and kept to the end.
    ExchangeState exchange_;
    SerialPort serialPort_;
    std::unique_ptr<HidPlatform> hidPlatform_ = MakeLinuxHidPlatform();
    TimerObject waitTimer_;
    QtWaitPump waitPump_;
    HidChannel hid_{hidPlatform_.get(), waitTimer_, waitPump_};
    std::unique_ptr<DeviceWatch> deviceWatch_ = MakeUdevDeviceWatch();
};
