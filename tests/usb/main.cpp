#include <gtest/gtest.h>

#include <QCoreApplication>

// Timer objects need the thread's event dispatcher.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
