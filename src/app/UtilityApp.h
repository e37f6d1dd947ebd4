#pragma once

#include "ExchangeState.h"
#include "SerialPort.h"

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
    ExchangeState exchange_;
    SerialPort serialPort_;
};
