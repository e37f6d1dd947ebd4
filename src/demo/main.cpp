// tallisk-demo: the utility wired to a simulated reader, on USB (feature
// reports, reads typed as keystrokes) and on a serial line (a pseudo-
// terminal that stands for COM1), with a window that works the reader.
//
//   tallisk-demo               the utility and the "Simulated reader" window
//   tallisk-demo --tour DIR    a scripted tour that saves screenshots in DIR
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "PtyReaderLink.h"
#include "SimulatedDeviceWatch.h"
#include "SimulatedHidPlatform.h"
#include "app/UtilityApp.h"
#include "demo/DemoTour.h"
#include "demo/ReaderPanel.h"
#include "ui/MainWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    UtilityApp::PrepareApplication(app);

    QCommandLineParser options;
    options.addHelpOption();
    const QCommandLineOption tour(QStringLiteral("tour"),
                                  QStringLiteral("Run the scripted tour, screenshots in <dir>."),
                                  QStringLiteral("dir"));
    options.addOption(tour);
    options.process(app);

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
        if (options.isSet(tour)) {
            new DemoTour(window, panel, options.value(tour));
            QObject::connect(&window, &QDialog::finished, [&tourResult](int r) { tourResult = r; });
        }
    };
    utility.Run();
    serialReader.Stop();
    return tourResult == 1 ? 1 : 0;
}
