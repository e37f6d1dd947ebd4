#include "platform/notify/UdevMonitor.h"

#include <libudev.h>
#include <unistd.h>

#include <cstring>

namespace {
constexpr const char* kSubsystem = "hidraw";
}

UdevMonitor::~UdevMonitor() {
    Close();
}

bool UdevMonitor::Open() {
    Close();
    udev_ = udev_new();
    if (udev_ == nullptr) {
        return false;
    }
    // Without a udev daemon nobody announces on the "udev" group.
    const char* group = ::access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
    monitor_ = udev_monitor_new_from_netlink(udev_, group);
    if (monitor_ == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, kSubsystem, nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        Close();
        return false;
    }
    return true;
}

void UdevMonitor::Close() {
    if (monitor_ != nullptr) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
    }
    if (udev_ != nullptr) {
        udev_unref(udev_);
        udev_ = nullptr;
    }
}

int UdevMonitor::Handle() const {
    return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1;
}

void UdevMonitor::ReadChanges(const std::function<void(Change)>& report) {
    if (monitor_ == nullptr) {
        return;
    }
    // The kernel group is filtered after the wake-up: a receive may bring
    // a device of another subsystem, or nothing.
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* subsystem = udev_device_get_subsystem(device);
        const char* action = udev_device_get_action(device);
        if (subsystem != nullptr && action != nullptr && std::strcmp(subsystem, kSubsystem) == 0) {
            if (std::strcmp(action, "add") == 0) {
                report(Change::Arrival);
            } else if (std::strcmp(action, "remove") == 0) {
                report(Change::Removal);
            }
        }
        udev_device_unref(device);
    }
}
