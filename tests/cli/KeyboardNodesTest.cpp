// Finding the USB reader's keyboard interface from its hidraw node, through
// the real libudev against a device tree in a umockdev testbed: the input
// node of the same USB device, not a keyboard of another one.
#include <gtest/gtest.h>
#include <umockdev.h>

#include <string>
#include <vector>

#include "cli/KeyboardReads.h"

namespace {

class KeyboardNodes : public ::testing::Test {
  protected:
    void SetUp() override {
        testbed = umockdev_testbed_new();
        if (!umockdev_in_mock_environment()) {
            GTEST_SKIP() << "needs the umockdev preload";
        }
    }
    void TearDown() override { g_object_unref(testbed); }

    // A USB device at port; returns its syspath.
    std::string Usb(const char* port) {
        gchar* path = umockdev_testbed_add_device(testbed, "usb", port, nullptr, "idVendor", "0471",
                                                  "idProduct", "e001", nullptr, "DEVTYPE",
                                                  "usb_device", nullptr);
        std::string syspath = path != nullptr ? path : "";
        g_free(path);
        return syspath;
    }

    std::string Interface(const std::string& usb, const std::string& name) {
        gchar* path = umockdev_testbed_add_device(testbed, "usb", name.c_str(), usb.c_str(),
                                                  nullptr, "DEVTYPE", "usb_interface", nullptr);
        std::string syspath = path != nullptr ? path : "";
        g_free(path);
        return syspath;
    }

    // A device node under parent, from a udev record.
    void Node(const std::string& parent, const std::string& subsystem, const std::string& name,
              const std::string& devname) {
        const std::string record = "P: " + parent.substr(4) + "/" + name +
                                   "\nN: " + devname.substr(5) + "=00\nE: SUBSYSTEM=" + subsystem +
                                   "\nE: DEVNAME=" + devname + "\n";
        ASSERT_TRUE(umockdev_testbed_add_from_string(testbed, record.c_str(), nullptr)) << record;
    }

    UMockdevTestbed* testbed = nullptr;
};

TEST_F(KeyboardNodes, TheReadersKeyboardIsTheInputNodeOfItsOwnUsbDevice) {
    const std::string reader = Usb("1-1");
    const std::string other = Usb("1-2");
    ASSERT_FALSE(reader.empty());
    ASSERT_FALSE(other.empty());
    Node(Interface(reader, "1-1:1.0"), "hidraw", "hidraw/hidraw0", "/dev/hidraw0");
    const std::string keys = Interface(reader, "1-1:1.1");
    Node(keys, "input", "input/input5", "/dev/input/mouse5");
    Node(keys + "/input/input5", "input", "event5", "/dev/input/event5");
    const std::string otherKeys = Interface(other, "1-2:1.0");
    Node(otherKeys, "input", "input/input6", "/dev/input/mouse6");
    Node(otherKeys + "/input/input6", "input", "event6", "/dev/input/event6");
    Node(Interface(other, "1-2:1.1"), "hidraw", "hidraw/hidraw1", "/dev/hidraw1");
    Node(Usb("1-3") + "/1-3:1.0", "hidraw", "hidraw/hidraw2", "/dev/hidraw2");

    const struct {
        std::string hidraw;
        std::vector<std::string> nodes;
    } cases[] = {
        {"/dev/hidraw0", {"/dev/input/event5"}},
        {"/dev/hidraw1", {"/dev/input/event6"}},
        {"/dev/hidraw2", {}},  // a reader without a keyboard interface
        {"/dev/hidraw9", {}},  // no such node
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyboardNodesOf(c.hidraw), c.nodes) << c.hidraw;
    }
}

}  // namespace
