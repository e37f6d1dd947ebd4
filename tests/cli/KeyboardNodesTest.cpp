// Finding the USB reader's keyboard interface from its hidraw node, through
// the real libudev against a device tree in a umockdev testbed: the input
// node of the same USB device, not a keyboard of another one. And reading
// it through the real libevdev, grabbed, from an emulated evdev node.
#include <gtest/gtest.h>
#include <linux/input.h>
#include <umockdev.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>
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

// An evdev keyboard behind a node: umockdev's thread answers the ioctls
// libevdev asks, and reads give the queued events.
struct FakeKeyboard {
    std::mutex mutex;
    std::deque<input_event> events;
    std::vector<int> grabs;  // the argument of each EVIOCGRAB

    void Press(uint16_t code, int32_t value) {
        input_event key{};
        key.type = EV_KEY;
        key.code = code;
        key.value = value;
        input_event sync{};
        sync.type = EV_SYN;
        std::lock_guard lock(mutex);
        events.push_back(key);
        events.push_back(sync);
    }
};

void SetBit(guint8* bits, int bit) {
    bits[bit / 8] = static_cast<guint8>(bits[bit / 8] | (1 << (bit % 8)));
}

gboolean AnswerEvdevIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer keyboard) {
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    if (_IOC_TYPE(request) != 'E') {
        umockdev_ioctl_client_complete(client, -1, ENOTTY);
        return TRUE;
    }
    if (request == EVIOCGRAB) {
        auto* fake = static_cast<FakeKeyboard*>(keyboard);
        std::lock_guard lock(fake->mutex);
        fake->grabs.push_back(
            static_cast<int>(reinterpret_cast<intptr_t>(*reinterpret_cast<void**>(arg->data))));
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    const unsigned nr = _IOC_NR(request);
    const unsigned size = _IOC_SIZE(request);
    if (nr == _IOC_NR(EVIOCGPHYS(0)) || nr == _IOC_NR(EVIOCGUNIQ(0))) {
        umockdev_ioctl_client_complete(client, -1, ENOENT);
        return TRUE;
    }
    UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, size, nullptr);
    if (data == nullptr) {
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return TRUE;
    }
    std::memset(data->data, 0, size);
    long result = size;
    if (request == EVIOCGVERSION) {
        const int version = EV_VERSION;
        std::memcpy(data->data, &version, sizeof version);
        result = 0;
    } else if (request == EVIOCGID) {
        result = 0;
    } else if (nr == _IOC_NR(EVIOCGNAME(0))) {
        const char name[] = "Cheque reader keyboard";
        std::memcpy(data->data, name, std::min<size_t>(size, sizeof name));
        result = sizeof name;
    } else if (nr == _IOC_NR(EVIOCGBIT(0, 0))) {
        SetBit(data->data, EV_SYN);
        SetBit(data->data, EV_KEY);
    } else if (nr == _IOC_NR(EVIOCGBIT(EV_KEY, 0))) {
        for (int key = KEY_ESC; key <= KEY_KPDOT; ++key) {
            SetBit(data->data, key);
        }
    }
    umockdev_ioctl_client_complete(client, result, 0);
    umockdev_ioctl_data_unref(data);
    return TRUE;
}

gboolean AnswerEvdevRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer keyboard) {
    auto* fake = static_cast<FakeKeyboard*>(keyboard);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    std::lock_guard lock(fake->mutex);
    if (fake->events.empty()) {
        umockdev_ioctl_client_complete(client, -1, EAGAIN);
        return TRUE;
    }
    input_event event = fake->events.front();
    fake->events.pop_front();
    umockdev_ioctl_data_update(arg, 0, reinterpret_cast<guint8*>(&event), sizeof event);
    umockdev_ioctl_client_complete(client, sizeof event, 0);
    return TRUE;
}

TEST_F(KeyboardNodes, TheKeyboardIsGrabbedAndItsKeysDecodedInTheUsLayout) {
    FakeKeyboard fake;
    UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
    g_signal_connect(handler, "handle-ioctl", G_CALLBACK(AnswerEvdevIoctl), &fake);
    g_signal_connect(handler, "handle-read", G_CALLBACK(AnswerEvdevRead), &fake);
    ASSERT_TRUE(umockdev_testbed_attach_ioctl(testbed, "/dev/input/event5", handler, nullptr));
    const std::string keys = Interface(Usb("1-1"), "1-1:1.1");
    Node(keys + "/input/input5", "input", "event5", "/dev/input/event5");

    std::string typed;
    {
        KeyboardReads reads([&](const std::string& character) { typed += character; });
        ASSERT_EQ(reads.Open("/dev/input/event5"), KeyboardReads::Opened::Ok);
        const std::pair<uint16_t, int32_t> presses[] = {
            {KEY_LEFTSHIFT, 1}, {KEY_T, 1}, {KEY_T, 0}, {KEY_1, 1},     {KEY_1, 0},
            {KEY_LEFTSHIFT, 0}, {KEY_1, 1}, {KEY_1, 0}, {KEY_MINUS, 1}, {KEY_ENTER, 1},
        };
        for (const auto& [code, value] : presses) {
            fake.Press(code, value);
        }
        QElapsedTimer clock;
        clock.start();
        while (typed.size() < 5 && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
    }
    EXPECT_EQ(typed, "T!1-\r");
    std::lock_guard lock(fake.mutex);
    EXPECT_EQ(fake.grabs, (std::vector<int>{1, 0})) << "grabbed while open, let go on closing";
    g_object_unref(handler);
}

}  // namespace
