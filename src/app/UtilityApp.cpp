#include "app/UtilityApp.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <functional>
#include <memory>
#include <utility>

#include "app/AboutBox.h"
#include "app/AppIcon.h"
#include "commandline/ProgramVersion.h"
#include "platform/signals/EndSignals.h"
#include "ui/MainWindow.h"

UtilityApp::UtilityApp() : UtilityApp(MakeLinuxHidPlatform(), MakeUdevDeviceWatch()) {}

UtilityApp::UtilityApp(std::unique_ptr<HidPlatform> hidPlatform,
                       std::unique_ptr<DeviceWatch> deviceWatch)
    : objects_(std::move(hidPlatform), std::move(deviceWatch)) {}

void UtilityApp::PrepareApplication(QApplication& app, const char* desktopId) {
    app.setApplicationName(QStringLiteral("Tallisk Program"));
    app.setApplicationDisplayName(QString());
    app.setApplicationVersion(QString::fromLatin1(ProgramVersion()));
    app.setWindowIcon(AppIcon());
    QGuiApplication::setDesktopFileName(QString::fromLatin1(desktopId));
}

void UtilityApp::WireWindow(MainWindow& window) {
    QObject::connect(&window, &MainWindow::aboutRequested, &window, [&window] {
        AboutBox about(&window);
        about.exec();
    });
}

void UtilityApp::WireSerialPort(SerialPort& port, QWidget* boxParent) {
    port.SetFailureReporter([parent = QPointer<QWidget>(boxParent)](const std::string& text,
                                                                    std::function<void()> closed) {
        const QString title = QStringLiteral("Application Error");
        const QString message = QString::fromStdString(text);
        if (!closed) {
            QMessageBox box(QMessageBox::Critical, title, message, QMessageBox::Ok, parent);
            box.exec();
            return;
        }
        // Only the monitor thread waits for this box; the window goes on.
        auto* box = new QMessageBox(QMessageBox::Critical, title, message, QMessageBox::Ok, parent);
        box->setWindowModality(Qt::NonModal);
        box->setAttribute(Qt::WA_DeleteOnClose);
        // The monitor thread is told once: when the box is dismissed (its
        // deletion is deferred and may come much later), or when it is
        // deleted unanswered with its parent.
        auto pending = std::make_shared<std::function<void()>>(std::move(closed));
        const auto once = [pending] {
            if (*pending) {
                const std::function<void()> call = std::exchange(*pending, nullptr);
                call();
            }
        };
        QObject::connect(box, &QDialog::finished, once);
        QObject::connect(box, &QObject::destroyed, once);
        box->show();
    });
}

int UtilityApp::Run() {
    std::unique_ptr<MainWindow> window = objects_.MakeWindow();
    // The window owns the boxes of the serial port's failures.
    WireSerialPort(objects_.reader.Port(), window.get());
    WireWindow(*window);
    if (onWindowReady) {
        onWindowReady(*window);
    }
    // SIGINT, SIGTERM and SIGHUP close the window as its close box does,
    // with any box it has open, so that the connection closes as on Exit.
    EndSignals ending([](int) { QApplication::closeAllWindows(); });
    // The run's result, Exit or the close box, is not looked at.
    window->RunModal();
    window.reset();
    const int signal = EndSignals::Received();
    return signal == 0 ? 0 : EndSignals::ExitStatusOf(signal);
}
