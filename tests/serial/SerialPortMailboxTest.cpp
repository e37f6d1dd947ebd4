// A port made without a post of its own hands over through its own
// mailbox, on the Qt event loop of the thread that made it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <thread>
#include <vector>

#include "PtyPair.h"
#include "channels/serial/SerialPort.h"

namespace {

constexpr int kPort = 7;

struct HandedOver {
    std::vector<int> bytes;
    std::vector<std::thread::id> threads;  // the thread each byte was handled on
};

// Makes a port on the calling thread, sends it bytes and runs this thread's
// event loop until they have all been handed over, or for five seconds.
HandedOver ReceiveOnThisThread(const std::vector<uint8_t>& sent) {
    HandedOver handed;
    PtyPair pty(kPort);
    QEventLoop loop;
    SerialPort port;
    port.SetByteHandler([&](uint8_t byte) {
        handed.bytes.push_back(byte);
        handed.threads.push_back(std::this_thread::get_id());
        if (handed.bytes.size() == sent.size()) {
            loop.quit();
        }
    });
    if (port.OpenPort(kPort, 9600, 'N', 8, 1, kEventRxChar | kEventCts, 512)) {
        port.StartMonitor();
        pty.Send(sent);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    port.Shutdown();
    return handed;
}

TEST(SerialPortMailbox, HandsBytesOverOnTheThreadThatMadeThePort) {
    int argc = 1;
    char name[] = "serial_tests";
    char* argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);
    const std::vector<uint8_t> sent = {0x31, 0x00, 0xFF};
    const struct {
        const char* where;
        bool ownThread;  // else the test's, the application's thread
    } cases[] = {{"the test's thread", false}, {"a thread of its own", true}};
    for (const auto& c : cases) {
        HandedOver handed;
        std::thread::id maker = std::this_thread::get_id();
        if (c.ownThread) {
            // The application's thread runs no event loop meanwhile.
            std::thread other([&] {
                maker = std::this_thread::get_id();
                handed = ReceiveOnThisThread(sent);
            });
            other.join();
        } else {
            handed = ReceiveOnThisThread(sent);
        }
        EXPECT_EQ(handed.bytes, std::vector<int>(sent.begin(), sent.end())) << c.where;
        for (const std::thread::id handler : handed.threads) {
            EXPECT_EQ(handler, maker) << c.where;
        }
    }
}

}  // namespace
