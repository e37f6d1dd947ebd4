#pragma once

#include <memory>

#include "channels/presence/DeviceWatch.h"
#include "channels/serial/SerialPort.h"
#include "channels/usb/HidChannel.h"
#include "channels/usb/QtWaitPump.h"
#include "channels/usb/TimerObject.h"
#include "platform/hid/HidPlatform.h"
#include "protocol/ExchangeState.h"

class MainWindow;

// The program-wide objects the window works with, built before it and kept
// until after it: the exchange state, the serial port, the HID channel with
// its wait timer and pump, and the watch over device arrivals. The utility,
// the demo, the tests and the benchmarks build them the same way, each with
// its own HID devices (the system's or simulated ones).
class ProgramObjects {
  public:
    ProgramObjects(std::unique_ptr<HidPlatform> hidPlatform, std::unique_ptr<DeviceWatch> watch,
                   std::unique_ptr<SerialDevice> serialDevice = nullptr);
    ProgramObjects(const ProgramObjects&) = delete;
    ProgramObjects& operator=(const ProgramObjects&) = delete;
    ~ProgramObjects();

    // A main window on these objects, not yet initialised.
    std::unique_ptr<MainWindow> MakeWindow();

    ExchangeState exchange;
    SerialPort serialPort;
    std::unique_ptr<HidPlatform> hidPlatform;
    TimerObject waitTimer;
    QtWaitPump waitPump;
    HidChannel hid;
    std::unique_ptr<DeviceWatch> deviceWatch;
};
