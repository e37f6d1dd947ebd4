#include "UtilityApp.h"

#include <QApplication>
#include <QMessageBox>
#include <memory>

#include "AboutBox.h"
#include "AppIcon.h"
#include "MainWindow.h"

UtilityApp::UtilityApp() : UtilityApp(MakeLinuxHidPlatform(), MakeUdevDeviceWatch()) {}

UtilityApp::UtilityApp(std::unique_ptr<HidPlatform> hidPlatform,
                       std::unique_ptr<DeviceWatch> deviceWatch)
    : hidPlatform_(std::move(hidPlatform)),
      hid_(hidPlatform_.get(), waitTimer_, waitPump_),
      deviceWatch_(std::move(deviceWatch)) {}

void UtilityApp::PrepareApplication(QApplication& app) {
    app.setApplicationName(QStringLiteral("Tallisk Program"));
    app.setApplicationDisplayName(QString());
    app.setApplicationVersion(QStringLiteral("1.0.0.1"));
    app.setWindowIcon(AppIcon());
}

void UtilityApp::WireWindow(MainWindow& window) {
    QObject::connect(&window, &MainWindow::aboutRequested, &window, [&window] {
        AboutBox about(&window);
        about.exec();
    });
}

void UtilityApp::WireSerialPort(SerialPort& port) {
    port.SetFailureReporter([](const std::string& text) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Application Error"),
                        QString::fromStdString(text), QMessageBox::Ok);
        box.exec();
    });
}

int UtilityApp::Run() {
    WireSerialPort(serialPort_);
    auto window = std::make_unique<MainWindow>(exchange_, serialPort_, hid_, *deviceWatch_);
    WireWindow(*window);
    if (onWindowReady) {
        onWindowReady(*window);
    }
    // The run's result, Exit or the close box, is not looked at.
    window->RunModal();
    window.reset();
    return 0;
}
