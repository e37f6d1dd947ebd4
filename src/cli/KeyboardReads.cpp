#include "cli/KeyboardReads.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <libudev.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// The syspath of the USB device a udev device belongs to, or empty.
std::string UsbDeviceOf(udev_device* device) {
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    const char* path = usb != nullptr ? udev_device_get_syspath(usb) : nullptr;
    return path != nullptr ? path : "";
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<std::string> KeyboardNodesOf(const std::string& hidrawPath) {
    std::vector<std::string> nodes;
    // --device may name a link to the node.
    char resolved[PATH_MAX];
    const std::string node =
        ::realpath(hidrawPath.c_str(), resolved) != nullptr ? std::string(resolved) : hidrawPath;
    udev* context = udev_new();
    if (context == nullptr) {
        return nodes;
    }
    udev_device* hidraw =
        udev_device_new_from_subsystem_sysname(context, "hidraw", BaseName(node).c_str());
    const std::string reader = hidraw != nullptr ? UsbDeviceOf(hidraw) : "";
    if (!reader.empty()) {
        udev_enumerate* inputs = udev_enumerate_new(context);
        udev_enumerate_add_match_subsystem(inputs, "input");
        udev_enumerate_add_match_sysname(inputs, "event*");
        udev_enumerate_scan_devices(inputs);
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(inputs)) {
            udev_device* input =
                udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
            const char* devnode = input != nullptr ? udev_device_get_devnode(input) : nullptr;
            if (devnode != nullptr && UsbDeviceOf(input) == reader) {
                nodes.emplace_back(devnode);
            }
            if (input != nullptr) {
                udev_device_unref(input);
            }
        }
        udev_enumerate_unref(inputs);
    }
    if (hidraw != nullptr) {
        udev_device_unref(hidraw);
    }
    udev_unref(context);
    return nodes;
}

KeyboardReads::KeyboardReads(std::function<void(const std::string&)> onCharacter)
    : onCharacter_(std::move(onCharacter)) {}

KeyboardReads::~KeyboardReads() {
    Close();
}

KeyboardReads::Opened KeyboardReads::Open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        return errno == EACCES || errno == EPERM ? Opened::NoAccess : Opened::NotKeys;
    }
    if (libevdev_new_from_fd(fd_, &device_) < 0 ||
        !libevdev_has_event_code(device_, EV_KEY, KEY_ENTER)) {
        Close();
        return Opened::NotKeys;
    }
    // Grabbed, the reader's keys go to this program alone and not also into
    // the window that has the focus.
    if (libevdev_grab(device_, LIBEVDEV_GRAB) < 0) {
        Close();
        return Opened::NotGrabbed;
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { ReadEvents(); });
    return Opened::Ok;
}

void KeyboardReads::ReadEvents() {
    input_event event{};
    unsigned int flag = LIBEVDEV_READ_FLAG_NORMAL;
    for (;;) {
        const int status = libevdev_next_event(device_, flag, &event);
        if (status == -EAGAIN && flag == LIBEVDEV_READ_FLAG_SYNC) {
            flag = LIBEVDEV_READ_FLAG_NORMAL;  // caught up after a dropped stretch
            continue;
        }
        if (status == -EAGAIN) {
            return;
        }
        if (status < 0) {
            // ENODEV: the reader was unplugged.
            gone_ = true;
            Close();
            return;
        }
        if (status == LIBEVDEV_READ_STATUS_SYNC) {
            // The kernel dropped events: the keys typed meanwhile are lost,
            // the modifiers' state comes back through the sync events.
            flag = LIBEVDEV_READ_FLAG_SYNC;
        }
        if (event.type == EV_KEY) {
            const std::string character = keyboard_.Key(event.code, event.value);
            if (!character.empty() && flag == LIBEVDEV_READ_FLAG_NORMAL) {
                onCharacter_(character);
            }
        }
    }
}

void KeyboardReads::Close() {
    notifier_.reset();
    if (device_ != nullptr) {
        libevdev_grab(device_, LIBEVDEV_UNGRAB);
        libevdev_free(device_);
        device_ = nullptr;
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}
