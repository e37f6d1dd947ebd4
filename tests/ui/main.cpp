#include <gtest/gtest.h>

#include <QApplication>

#include "app/UtilityApp.h"

// Widget tests need one application object for the whole run; without a
// display they run on the offscreen platform, which activates windows and
// gives focus.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    UtilityApp::PrepareApplication(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
