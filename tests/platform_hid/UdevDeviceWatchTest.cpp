#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include "HidTestbed.h"
#include "ReportDescriptors.h"
#include "channels/presence/DeviceWatch.h"

namespace {

using Change = DeviceWatch::Change;

// The watch the window registers, on the real udev monitor, delivering
// changes through the event loop.
TEST(UdevDeviceWatchTest, DeliversArrivalAndRemovalThroughTheEventLoop) {
    int argc = 1;
    char name[] = "watch";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    HidTestbed testbed;
    ASSERT_TRUE(testbed.Active());
    std::unique_ptr<DeviceWatch> watch = MakeUdevDeviceWatch();
    std::vector<Change> changes;
    ASSERT_TRUE(watch->Register([&changes](Change c) { changes.push_back(c); }));
    EXPECT_TRUE(watch->Registered());

    auto pumpUntil = [&](size_t count) {
        QDeadlineTimer deadline(2000);
        while (changes.size() < count && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        return changes.size() >= count;
    };
    FakeUsbHid reader;
    reader.vendorId = 0x0471;
    reader.productId = 0xE001;
    reader.release = 0x0001;
    reader.descriptor = report_items::kVendorFeature64;
    const std::string path = testbed.Add(reader);
    ASSERT_TRUE(pumpUntil(1));
    ASSERT_TRUE(testbed.Remove(path));
    ASSERT_TRUE(pumpUntil(2));
    EXPECT_EQ(changes, (std::vector<Change>{Change::Arrival, Change::Removal}));

    watch->Unregister();
    EXPECT_FALSE(watch->Registered());
    testbed.Add(reader);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(changes.size(), 2u);  // nothing arrives after unregistering
}

}  // namespace
