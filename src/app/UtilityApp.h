#pragma once

#include <functional>
#include <memory>

#include "app/ProgramObjects.h"

class MainWindow;
class QApplication;
class QWidget;

// The desktop file names of the programs with a window: the desktop entry
// and AppStream component each installs under this name, which the window
// reports (the Wayland app id) so that the desktop shows its entry's icon.
inline constexpr char kUtilityDesktopId[] = "org.tallisk.Tallisk";
inline constexpr char kDemoDesktopId[] = "org.tallisk.TalliskDemo";

// The application: prepares Qt, runs the main window modally and ends the
// program when that run ends.

class UtilityApp {
  public:
    // Name, version, icon and desktop file name of the program, set on the
    // Qt application.
    static void PrepareApplication(QApplication& app, const char* desktopId = kUtilityDesktopId);

    // Connects the window's menu to the About box.
    static void WireWindow(MainWindow& window);
    // Shows the serial port's failures in the error box. A failure while
    // the port opens blocks the window's thread until its box is closed;
    // one on the monitor thread gets a box that leaves the window usable,
    // owned by boxParent (and deleted with it).
    static void WireSerialPort(SerialPort& port, QWidget* boxParent = nullptr);

    // The reader's USB devices and their arrival and removal: the system's,
    // or others (the simulated reader of the demo).
    UtilityApp();
    UtilityApp(std::unique_ptr<HidPlatform> hidPlatform, std::unique_ptr<DeviceWatch> deviceWatch);

    // Called with the window once it is made, before its modal run.
    std::function<void(MainWindow&)> onWindowReady;

    // Runs the window until Exit or the close box (0), or until SIGINT,
    // SIGTERM or SIGHUP closed it (128 + the signal).
    int Run();

  private:
    ProgramObjects objects_;
};
