// tallisk-demo: the utility wired to a simulated reader, on USB (feature
// reports, reads typed as keystrokes) and on a serial line (a pseudo-
// terminal that stands for COM1), with a window that works the reader.
//
//   tallisk-demo               the utility and the "Simulated reader" window
//   tallisk-demo --tour DIR    a scripted tour that saves screenshots in DIR
//   tallisk-demo --help        the options and exit statuses
#include <QApplication>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "PtyReaderLink.h"
#include "SimulatedDeviceWatch.h"
#include "SimulatedHidPlatform.h"
#include "app/UtilityApp.h"
#include "commandline/CommandLine.h"
#include "commandline/DisplayCheck.h"
#include "demo/DemoTour.h"
#include "demo/ReaderPanel.h"
#include "ui/MainWindow.h"

namespace {

// The demo opens COM1 on its own pseudo-terminal, so it takes no --serial-port.
constexpr std::array<OptionSpec, 1> kOptions{{
    {"tour", "DIR", "take the scripted tour and save its screenshots in DIR"},
}};

constexpr ProgramSpec kProgram{
    "tallisk-demo",
    "The utility wired to a simulated reader on USB and on a serial line, with a window that "
    "works the reader.",
    kOptions,
    "Exit status: 0 when the window closes, 1 when the tour fails or no pseudo-terminal can be "
    "made, 2 without a display, 64 for a wrong option, 128 + the signal when SIGINT, SIGTERM or "
    "SIGHUP closed the window.",
};

}  // namespace

int main(int argc, char** argv) {
    // Answered before Qt starts, so that they need no display.
    const CommandLine line = ParseCommandLine(kProgram.options, argc, argv);
    if (const std::optional<int> status = AnswerCommandLine(kProgram, line)) {
        return *status;
    }
    HeldDisplayConnection display;
    if (const std::optional<int> status = RefuseWithoutDisplay(
            "tallisk-demo", "take the tour on a virtual display: xvfb-run tallisk-demo --tour DIR",
            display)) {
        return *status;
    }

    QApplication app(argc, argv);
    display.Release();  // the application holds its own connection now
    UtilityApp::PrepareApplication(app, kDemoDesktopId);

    // The serial reader sits on a pseudo-terminal that the utility opens as COM1.
    PtyReaderLink serialReader;
    if (!serialReader.Start()) {
        std::perror("tallisk-demo: cannot create a pseudo-terminal");
        return 1;
    }
    ::setenv("TALLISK_COM1", serialReader.Path().c_str(), 1);

    auto usbDevices = std::make_unique<SimulatedHidPlatform>();
    SimulatedHidPlatform& devices = *usbDevices;
    const int usbReader = devices.AddReader();
    devices.AddDevice(0x046D, 0xC077, 0x7200, "Optical Mouse");
    auto watch = std::make_unique<SimulatedDeviceWatch>(devices);

    UtilityApp utility(std::move(usbDevices), std::move(watch));
    int tourResult = 0;
    utility.onWindowReady = [&](MainWindow& window) {
        // The window owns the panel and the tour and ends them with itself.
        ReaderPanel& panel = ReaderPanel::Open(window, devices, usbReader, serialReader);
        if (line.Has("tour")) {
            new DemoTour(window, panel, QString::fromStdString(line.Value("tour")));
            QObject::connect(&window, &QDialog::finished, [&tourResult](int r) { tourResult = r; });
        }
    };
    const int status = utility.Run();
    serialReader.Stop();
    if (status != 0) {
        return status;  // ended by a signal
    }
    return tourResult == 1 ? 1 : 0;
}
