#include "HidTestbed.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned kHidrawIoctl = 'H';
constexpr unsigned kDescriptorSizeNr = 0x01;
constexpr unsigned kDescriptorNr = 0x02;
constexpr unsigned kSetFeatureNr = 0x06;
constexpr unsigned kGetFeatureNr = 0x07;
constexpr int kHidrawMajor = 241;

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using IoctlData = std::unique_ptr<UMockdevIoctlData, GObjectUnref>;

std::string Hex4(uint16_t value, const char* format = "%04x") {
    char text[5];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Adds a sysfs device; attributes and properties are name, value, ...
std::string AddDevice(UMockdevTestbed* testbed, const char* subsystem, const std::string& name,
                      const std::string& parent, std::vector<std::string> attributes,
                      std::vector<std::string> properties) {
    const auto list = [](std::vector<std::string>& items) {
        std::vector<gchar*> pointers;
        for (std::string& item : items) {
            pointers.push_back(item.data());
        }
        pointers.push_back(nullptr);
        return pointers;
    };
    std::vector<gchar*> attributeList = list(attributes);
    std::vector<gchar*> propertyList = list(properties);
    gchar* syspath = umockdev_testbed_add_devicev(testbed, subsystem, name.c_str(),
                                                  parent.empty() ? nullptr : parent.c_str(),
                                                  attributeList.data(), propertyList.data());
    if (syspath == nullptr) {
        ADD_FAILURE() << "umockdev could not add " << name;
        return {};
    }
    std::string path = syspath;
    g_free(syspath);
    return path;
}

// The hidraw ioctls: report descriptor size and bytes, set and get feature.
long AnswerIoctl(FakeHidNode::State& device, unsigned long request, UMockdevIoctlData* arg,
                 int& error) {
    const unsigned nr = _IOC_NR(request);
    const size_t size = nr == kDescriptorSizeNr ? sizeof(int)
                        : nr == kDescriptorNr   ? sizeof(hidraw_report_descriptor)
                                                : _IOC_SIZE(request);
    const bool known =
        _IOC_TYPE(request) == kHidrawIoctl && (nr == kDescriptorSizeNr || nr == kDescriptorNr ||
                                               nr == kSetFeatureNr || nr == kGetFeatureNr);
    IoctlData data(known ? umockdev_ioctl_data_resolve(arg, 0, size, nullptr) : nullptr);
    if (data == nullptr) {
        error = known ? EFAULT : ENOTTY;
        return -1;
    }
    uint8_t* bytes = data->data;
    if (nr == kDescriptorSizeNr) {
        const int descriptorSize = static_cast<int>(device.descriptor.size());
        std::memcpy(bytes, &descriptorSize, sizeof descriptorSize);
        return 0;
    }
    if (nr == kDescriptorNr) {
        uint32_t asked = 0;
        std::memcpy(&asked, bytes, sizeof asked);
        std::copy_n(device.descriptor.begin(), std::min<size_t>(asked, device.descriptor.size()),
                    bytes + offsetof(hidraw_report_descriptor, value));
        return 0;
    }
    if (nr == kSetFeatureNr) {
        device.featuresSent.emplace_back(bytes, bytes + size);
        if (device.onFeatureSent) {
            device.onFeatureSent(device, device.featuresSent.back());
        }
        return static_cast<long>(size);
    }
    device.featureRequests.emplace_back(bytes, bytes + size);
    if (device.featureReport.empty()) {
        error = EPIPE;
        return -1;
    }
    const size_t count = std::min(size, device.featureReport.size());
    std::copy_n(device.featureReport.begin() + 1, count - 1, bytes + 1);
    return static_cast<long>(count);
}

gboolean HandleIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer node) {
    int error = 0;
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    if (_IOC_TYPE(request) == kHidrawIoctl &&
        (_IOC_NR(request) == kSetFeatureNr || _IOC_NR(request) == kGetFeatureNr)) {
        static_cast<FakeHidNode*>(node)->PassHold();
    }
    const long result = static_cast<FakeHidNode*>(node)->Locked([&](auto& device) {
        return AnswerIoctl(device, umockdev_ioctl_client_get_request(client),
                           umockdev_ioctl_client_get_arg(client), error);
    });
    umockdev_ioctl_client_complete(client, result, error);
    return TRUE;
}

// A read with no input report queued fails as a non-blocking read does.
gboolean HandleRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer node) {
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    Bytes report = static_cast<FakeHidNode*>(node)->Locked([](auto& device) {
        Bytes next;
        if (!device.inputReports.empty()) {
            next = std::move(device.inputReports.front());
            device.inputReports.pop_front();
        }
        return next;
    });
    if (report.empty()) {
        umockdev_ioctl_client_complete(client, -1, EAGAIN);
        return TRUE;
    }
    report.resize(std::min(report.size(), static_cast<size_t>(arg->data_len)));
    umockdev_ioctl_data_update(arg, 0, report.data(), static_cast<gint>(report.size()));
    umockdev_ioctl_client_complete(client, static_cast<long>(report.size()), 0);
    return TRUE;
}

gboolean HandleWrite(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer node) {
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    static_cast<FakeHidNode*>(node)->Locked([&](auto& device) {
        device.outputsWritten.emplace_back(arg->data, arg->data + arg->data_len);
    });
    umockdev_ioctl_client_complete(client, arg->data_len, 0);
    return TRUE;
}

}  // namespace

void FakeHidNode::HoldFeatures() {
    std::lock_guard lock(mutex);
    held_ = true;
}

void FakeHidNode::LetGo() {
    std::lock_guard lock(mutex);
    held_ = false;
    holdChanged_.notify_all();
}

int FakeHidNode::HeldTransfers() {
    std::lock_guard lock(mutex);
    return heldTransfers_;
}

void FakeHidNode::SlowFeatures(std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex);
    delay_ = delay;
}

void FakeHidNode::PassHold() {
    std::unique_lock lock(mutex);
    ++heldTransfers_;
    holdChanged_.wait_for(lock, std::chrono::seconds(10), [this] { return !held_; });
    if (delay_.count() > 0) {
        const auto until = std::chrono::steady_clock::now() + delay_;
        holdChanged_.wait_until(lock, until,
                                [&] { return std::chrono::steady_clock::now() >= until; });
    }
    --heldTransfers_;
}

struct HidTestbed::Impl {
    struct Attached {
        std::string path;
        std::unique_ptr<FakeHidNode> node;
        std::unique_ptr<UMockdevIoctlBase, GObjectUnref> handler;
        std::vector<std::string> syspaths;  // usb device, interface, hid, hidraw
    };

    std::unique_ptr<UMockdevTestbed, GObjectUnref> testbed{umockdev_testbed_new()};
    std::vector<Attached> attached;
};

HidTestbed::HidTestbed() : impl_(std::make_unique<Impl>()) {}

HidTestbed::~HidTestbed() {
    // The testbed goes first: it stops answering the nodes, then the nodes go.
    impl_->testbed.reset();
}

bool HidTestbed::Active() const {
    return umockdev_in_mock_environment();
}

std::string HidTestbed::Add(const FakeUsbHid& device) {
    UMockdevTestbed* testbed = impl_->testbed.get();
    const std::string number = std::to_string(impl_->attached.size() + 1);
    const std::string port = "1-" + number;
    const std::string hidraw = "hidraw" + std::to_string(impl_->attached.size());
    const std::string devnode = "/dev/" + hidraw;
    const std::string vid = Hex4(device.vendorId, "%04X");
    const std::string pid = Hex4(device.productId, "%04X");
    const std::string hidName = "0003:" + vid + ":" + pid + "." + Hex4(std::stoi(number), "%04X");
    const std::string serial = "SN" + number;

    const std::string usb =
        AddDevice(testbed, "usb", "usb1/" + port, "",
                  {"idVendor", Hex4(device.vendorId), "idProduct", Hex4(device.productId),
                   "bcdDevice", Hex4(device.release), "manufacturer", device.manufacturer,
                   "product", device.product, "serial", serial},
                  {"DEVTYPE", "usb_device"});
    const std::string interface =
        AddDevice(testbed, "usb", port + ":1.0", usb, {"bInterfaceNumber", "00"},
                  {"DEVTYPE", "usb_interface"});
    const std::string hid =
        AddDevice(testbed, "hid", hidName, interface, {},
                  {"HID_ID", "0003:0000" + vid + ":0000" + pid, "HID_NAME",
                   device.manufacturer + " " + device.product, "HID_UNIQ", serial});
    if (device.descriptorInSysfs) {
        Bytes descriptor = device.descriptor;
        umockdev_testbed_set_attribute_binary(testbed, hid.c_str(), "report_descriptor",
                                              descriptor.data(),
                                              static_cast<gint>(descriptor.size()));
    }

    // The node answers its ioctls from the moment it exists.
    auto node = std::make_unique<FakeHidNode>();
    node->state.descriptor = device.descriptor;
    std::unique_ptr<UMockdevIoctlBase, GObjectUnref> handler(umockdev_ioctl_base_new());
    g_signal_connect(handler.get(), "handle-ioctl", G_CALLBACK(HandleIoctl), node.get());
    g_signal_connect(handler.get(), "handle-read", G_CALLBACK(HandleRead), node.get());
    g_signal_connect(handler.get(), "handle-write", G_CALLBACK(HandleWrite), node.get());
    if (!umockdev_testbed_attach_ioctl(testbed, devnode.c_str(), handler.get(), nullptr)) {
        ADD_FAILURE() << "umockdev could not attach to " << devnode;
        return {};
    }
    impl_->attached.push_back({devnode,
                               std::move(node),
                               std::move(handler),
                               {usb, interface, hid, hid + "/hidraw/" + hidraw}});

    const std::string major = std::to_string(kHidrawMajor);
    const std::string minor = std::to_string(impl_->attached.size() - 1);
    const std::string record = "P: " + hid.substr(std::strlen("/sys")) + "/hidraw/" + hidraw +
                               "\nN: " + hidraw +
                               "=00\nE: SUBSYSTEM=hidraw\nE: DEVNAME=" + devnode +
                               "\nE: MAJOR=" + major + "\nE: MINOR=" + minor + "\nA: dev=" + major +
                               ":" + minor + "\nL: device=../../../" + hidName + "\n";
    if (!umockdev_testbed_add_from_string(testbed, record.c_str(), nullptr)) {
        ADD_FAILURE() << "umockdev could not add " << devnode;
        return {};
    }
    return devnode;
}

bool HidTestbed::Remove(const std::string& path) {
    for (Impl::Attached& attached : impl_->attached) {
        if (attached.path != path || attached.syspaths.empty()) {
            continue;
        }
        UMockdevTestbed* testbed = impl_->testbed.get();
        umockdev_testbed_uevent(testbed, attached.syspaths.back().c_str(), "remove");
        // Bottom-up, so that no link is left behind.
        for (auto it = attached.syspaths.rbegin(); it != attached.syspaths.rend(); ++it) {
            umockdev_testbed_remove_device(testbed, it->c_str());
        }
        attached.syspaths.clear();
        return true;
    }
    return false;
}

bool HidTestbed::Announce(const std::string& path, const char* action) {
    for (Impl::Attached& attached : impl_->attached) {
        if (attached.path == path && !attached.syspaths.empty()) {
            umockdev_testbed_uevent(impl_->testbed.get(), attached.syspaths.back().c_str(), action);
            return true;
        }
    }
    return false;
}

FakeHidNode* HidTestbed::Node(const std::string& path) {
    for (Impl::Attached& attached : impl_->attached) {
        if (attached.path == path) {
            return attached.node.get();
        }
    }
    return nullptr;
}

bool HidTestbed::MakeNodeInaccessible(const std::string& path) {
    gchar* root = umockdev_testbed_get_root_dir(impl_->testbed.get());
    const std::string rootDir = root;
    g_free(root);
    // The preload connects every open of the node to the testbed's ioctl
    // socket, and ends the process when it cannot: everybody may connect.
    const std::string socket = rootDir + "/ioctl" + path;
    return chmod((rootDir + path).c_str(), 0) == 0 && chmod(socket.c_str(), 0777) == 0;
}

bool DropFilePermissionOverride() {
    // Out of the bounding set first, or a program root starts would get them
    // back. Without the right to do so (not root) there is nothing to drop;
    // the kernel says EINVAL past its last capability.
    for (int cap = 0; cap < 64; ++cap) {
        if (prctl(PR_CAPBSET_DROP, cap, 0, 0, 0) != 0 && errno == EINVAL) {
            break;
        }
    }
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    header.pid = 0;
    __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3]{};
    return syscall(SYS_capset, &header, none) == 0;
}
