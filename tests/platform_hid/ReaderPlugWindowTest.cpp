// The window on the system's HID back end and udev monitor, with fake
// devices plugged and pulled in a umockdev testbed.
#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <string>

#include "ControlIds.h"
#include "DeviceWatch.h"
#include "FormActions.h"
#include "HidTestbed.h"
#include "MainWindow.h"
#include "QtWaitPump.h"
#include "ReportDescriptors.h"

namespace {

const FakeUsbHid kReader{
    .vendorId = 0x0471,
    .productId = 0xE001,
    .release = 0x0001,
    .manufacturer = "Tallisk",
    .product = "MICR Reader",
    .descriptor = report_items::kVendorFeature64,
};
const FakeUsbHid kMouse{
    .vendorId = 0x1D57,
    .productId = 0x0AD2,
    .release = 0x0110,
    .manufacturer = "Pointer Works",
    .product = "Optical Mouse",
    .descriptor = report_items::kBootMouse,
};

constexpr int kWaitMs = 5000;

// The program's objects on the system's HID devices, as the utility builds
// them, after start-up.
struct WindowOnSystemDevices {
    WindowOnSystemDevices()
        : hidPlatform(MakeLinuxHidPlatform()),
          hid(hidPlatform.get(), waitTimer, waitPump),
          deviceWatch(MakeUdevDeviceWatch()),
          window(exchange, serialPort, hid, *deviceWatch) {
        window.Initialise();
        window.show();
    }

    std::string Status() { return window.Form().Text(ctl::StatusLine); }
    bool StatusBecomes(const std::string& text) {
        return QTest::qWaitFor([&] { return Status() == text; }, kWaitMs);
    }

    ExchangeState exchange;
    SerialPort serialPort;
    std::unique_ptr<HidPlatform> hidPlatform;
    TimerObject waitTimer;
    QtWaitPump waitPump;
    HidChannel hid;
    std::unique_ptr<DeviceWatch> deviceWatch;
    MainWindow window;
};

struct PlugCase {
    const char* name;
    bool mouse;
    bool readerAtStart;  // then pulled, and the Connect Mode list closed on USB
    const char* statusBefore;
};

void PrintTo(const PlugCase& c, std::ostream* out) {
    *out << c.name;
}

class ReaderPluggedIn : public ::testing::TestWithParam<PlugCase> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bed.Active())
            << "run under umockdev-wrapper or LD_PRELOAD=libumockdev-preload.so.0";
    }
    HidTestbed bed;
};

TEST_P(ReaderPluggedIn, AfterStartUpIsConnectedWithoutAClick) {
    const PlugCase& c = GetParam();
    if (c.mouse) {
        bed.Add(kMouse);
    }
    const std::string first = c.readerAtStart ? bed.Add(kReader) : std::string();
    WindowOnSystemDevices utility;
    QtForm& form = utility.window.Form();
    if (c.readerAtStart) {
        ASSERT_EQ(utility.Status(), "Status: Find Tallisk!");
        ASSERT_TRUE(bed.Remove(first));
        ASSERT_TRUE(utility.StatusBecomes("Status: Tallisk Is Probably UnConnectend!"));
        ChooseConnectMode(form, 0);
    }
    ASSERT_EQ(utility.Status(), c.statusBefore);
    EXPECT_FALSE(form.IsEnabled(ctl::CommandTypeList));

    const std::string path = bed.Add(kReader);
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(utility.StatusBecomes("Status: Tallisk Is Connected!")) << utility.Status();
    EXPECT_TRUE(form.IsEnabled(ctl::CommandTypeList));
    EXPECT_TRUE(form.IsEnabled(ctl::ComparisonBox));
    EXPECT_TRUE(utility.window.UsbPollRunning());
}

INSTANTIATE_TEST_SUITE_P(
    Udev, ReaderPluggedIn,
    ::testing::Values(PlugCase{"NoDeviceAtAll", false, false, "Status: Find No Device!"},
                      PlugCase{"OnlyAMouse", true, false, "Status: Not Find Tallisk!\r\n"},
                      PlugCase{"FoundPulledReconnected", true, true,
                               "Status: Not Find Tallisk!\r\n"}),
    [](const ::testing::TestParamInfo<PlugCase>& param) { return param.param.name; });

}  // namespace
