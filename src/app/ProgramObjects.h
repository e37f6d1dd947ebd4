#pragma once

#include <memory>

#include "channels/presence/ReaderStack.h"

class MainWindow;

// The program-wide objects the window works with, built before it and kept
// until after it: the reader stack, with the HID devices the program works
// with (the system's or simulated ones).
class ProgramObjects {
  public:
    ProgramObjects(std::unique_ptr<HidPlatform> hidPlatform, std::unique_ptr<DeviceWatch> watch,
                   std::unique_ptr<SerialDevice> serialDevice = nullptr);
    ProgramObjects(const ProgramObjects&) = delete;
    ProgramObjects& operator=(const ProgramObjects&) = delete;
    ~ProgramObjects();

    // A main window on these objects, not yet initialised.
    std::unique_ptr<MainWindow> MakeWindow();

    ReaderStack reader;
};
