#include <gtest/gtest.h>

#include "BenchApplication.h"
#include "app/UtilityApp.h"

// The rig's tests run in the application the measures run in, whose event
// hooks the watches use, on the offscreen platform as the measures do.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    bench::BenchApplication app(argc, argv);
    UtilityApp::PrepareApplication(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
