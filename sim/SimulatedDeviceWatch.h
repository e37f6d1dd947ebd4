#pragma once

#include "SimulatedHidPlatform.h"
#include "channels/presence/DeviceWatch.h"

// Arrival and removal of the simulated HID devices, delivered through the
// event loop as the system's notifications are.
class SimulatedDeviceWatch : public DeviceWatch {
  public:
    explicit SimulatedDeviceWatch(SimulatedHidPlatform& devices);
    ~SimulatedDeviceWatch() override;

    bool Register(Handler handler) override;
    void Unregister() override;
    bool Registered() const override { return registered_; }

    bool refuseRegistration = false;
    int registrations = 0;  // how many registrations were made so far

  private:
    SimulatedHidPlatform& devices_;
    Handler handler_;
    bool registered_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
