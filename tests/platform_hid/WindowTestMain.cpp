#include <gtest/gtest.h>

#include <QApplication>

#include "UtilityApp.h"

// The window on the real HID back end and udev monitor, under the umockdev
// preload; without a display it runs on the offscreen platform.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    UtilityApp::PrepareApplication(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
