#pragma once

#include <functional>

struct udev;
struct udev_monitor;

// Arrival and removal of hidraw device nodes, from the udev monitor. It
// listens to the udev daemon's announcements where a daemon runs, and to
// the kernel's otherwise (containers have no daemon).
class UdevMonitor {
  public:
    enum class Change { Arrival, Removal };

    UdevMonitor() = default;
    UdevMonitor(const UdevMonitor&) = delete;
    UdevMonitor& operator=(const UdevMonitor&) = delete;
    ~UdevMonitor();

    // False when no monitor can be set up (no netlink, no libudev).
    bool Open();
    void Close();
    // Readable when changes are waiting; -1 when closed.
    int Handle() const;
    // Reads every waiting change and reports the hidraw ones.
    void ReadChanges(const std::function<void(Change)>& report);

  private:
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
};
