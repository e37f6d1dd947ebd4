#pragma once

#include <functional>
#include <memory>

// Tells the window when a HID device interface arrives or goes. Changes are
// delivered on the window's thread, from its event loop.
class DeviceWatch {
  public:
    enum class Change { Arrival, Removal };
    using Handler = std::function<void(Change)>;

    virtual ~DeviceWatch() = default;
    // True when the registration was obtained.
    virtual bool Register(Handler handler) = 0;
    virtual void Unregister() = 0;
    virtual bool Registered() const = 0;
};

// The watch over the system's udev monitor.
std::unique_ptr<DeviceWatch> MakeUdevDeviceWatch();
