#pragma once

#include <memory>

#include "platform/hid/HidLibrary.h"
#include "platform/hid/HidPlatform.h"
#include "platform/hid/NodeLock.h"

struct hid_device_;

// An open hidraw node, moved through hidapi. hidraw hands over the input
// reports of a device that does not number its reports without an id byte;
// for such a device (`unnumberedReports`) the id byte 0 is put in front, so
// that every report buffer has the same layout. The node's lock lives as
// long as the handle and goes after it.
class LinuxHidDevice final : public HidDevice {
  public:
    LinuxHidDevice(hid_device_* handle, std::unique_ptr<NodeLock> lock,
                   std::shared_ptr<HidLibrary> library, bool unnumberedReports);
    ~LinuxHidDevice() override;
    LinuxHidDevice(const LinuxHidDevice&) = delete;
    LinuxHidDevice& operator=(const LinuxHidDevice&) = delete;

    bool SendFeatureReport(std::span<const uint8_t> report) override;
    int GetFeatureReport(std::span<uint8_t> report) override;
    int WriteOutputReport(std::span<const uint8_t> report) override;
    int ReadInputReport(std::span<uint8_t> report) override;

  private:
    std::shared_ptr<HidLibrary> library_;  // outlives handle_
    std::unique_ptr<NodeLock> lock_;       // released once handle_ is closed
    hid_device_* handle_;
    bool unnumberedReports_;
};
