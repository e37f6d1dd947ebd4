#include "platform/notify/UdevMonitor.h"

#include <gtest/gtest.h>
#include <poll.h>

#include "HidTestbed.h"
#include "ReportDescriptors.h"

namespace {

using Change = UdevMonitor::Change;

// Every change that arrives within the time limit.
std::vector<Change> Changes(UdevMonitor& monitor, int limitMs = 500) {
    std::vector<Change> changes;
    pollfd p{monitor.Handle(), POLLIN, 0};
    while (::poll(&p, 1, limitMs) > 0) {
        monitor.ReadChanges([&](Change c) { changes.push_back(c); });
        limitMs = 50;
    }
    return changes;
}

TEST(UdevMonitorTest, ReportsHidrawArrivalsAndRemovalsOnly) {
    HidTestbed testbed;
    ASSERT_TRUE(testbed.Active());
    UdevMonitor monitor;
    ASSERT_TRUE(monitor.Open());
    FakeUsbHid reader;
    reader.vendorId = 0x0471;
    reader.productId = 0xE001;
    reader.release = 0x0001;
    reader.product = "Cheque Reader";
    reader.descriptor = report_items::kVendorFeature64;
    const std::string path = testbed.Add(reader);
    // The usb, interface and hid devices are announced too, but are not hidraw.
    EXPECT_EQ(Changes(monitor), (std::vector<Change>{Change::Arrival}));
    ASSERT_TRUE(testbed.Remove(path));
    EXPECT_EQ(Changes(monitor), (std::vector<Change>{Change::Removal}));
}

}  // namespace
