// The window on the system's HID back end and udev monitor, with fake
// devices plugged and pulled in a umockdev testbed.
#include <gtest/gtest.h>

#include "SystemDeviceWindow.h"

namespace {

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
    QtForm& form = utility.Form();
    if (c.readerAtStart) {
        ASSERT_EQ(utility.Status(), "Status: Find Tallisk!");
        ASSERT_TRUE(bed.Remove(first));
        ASSERT_TRUE(utility.StatusBecomes("Status: Tallisk Is Probably UnConnectend!"));
        EXPECT_TRUE(form.Choose(ctl::ConnectModeList, 0));
    }
    ASSERT_EQ(utility.Status(), c.statusBefore);
    EXPECT_FALSE(form.IsEnabled(ctl::CommandTypeList));

    const std::string path = bed.Add(kReader);
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(utility.StatusBecomes("Status: Tallisk Is Connected!")) << utility.Status();
    EXPECT_TRUE(form.IsEnabled(ctl::CommandTypeList));
    EXPECT_TRUE(form.IsEnabled(ctl::ComparisonBox));
    EXPECT_TRUE(utility.Window().UsbPollRunning());
}

INSTANTIATE_TEST_SUITE_P(
    Udev, ReaderPluggedIn,
    ::testing::Values(PlugCase{"NoDeviceAtAll", false, false, "Status: Find No Device!"},
                      PlugCase{"OnlyAMouse", true, false, "Status: Not Find Tallisk!\r\n"},
                      PlugCase{"FoundPulledReconnected", true, true,
                               "Status: Not Find Tallisk!\r\n"}),
    [](const ::testing::TestParamInfo<PlugCase>& param) { return param.param.name; });

}  // namespace
