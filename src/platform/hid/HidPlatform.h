#pragma once

#include <cerrno>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/hid/HidReportDescriptor.h"

// One HID device interface as the system lists it. The identity is the USB
// device's: vendor id, product id and release number (bcdDevice). The strings
// are UTF-8, empty when the device has none.
struct HidDeviceInfo {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t releaseNumber = 0;
    std::string productString;
    std::string manufacturerString;
    std::string serialNumber;
};

// An open device node, read and write; closed when destroyed. Every report
// buffer starts with the report id in byte 0 and has the full report length
// of its kind, the id byte included.
class HidDevice {
  public:
    virtual ~HidDevice() = default;

    // True when the device took the feature report.
    virtual bool SendFeatureReport(std::span<const uint8_t> report) = 0;
    // Byte 0 names the report asked for. Returns the bytes received, the id
    // byte included, or -1 on failure.
    virtual int GetFeatureReport(std::span<uint8_t> report) = 0;
    // Returns the bytes written, or -1 on failure.
    virtual int WriteOutputReport(std::span<const uint8_t> report) = 0;
    // Never waits: 0 when no input report is queued, else the bytes read, or
    // -1 on failure (for instance the device is gone).
    virtual int ReadInputReport(std::span<uint8_t> report) = 0;
    // Whether a transfer can take long: a real device may hold a control
    // transfer up to the kernel's limit. Such transfers are made on a thread
    // of their own, one at a time; the others are made where they are asked.
    virtual bool TransfersMayBlock() const { return true; }
};

// The system's HID devices. Everything is called from one thread, except
// the transfers of an open device, which may be made on another.
class HidPlatform {
  public:
    virtual ~HidPlatform() = default;

    // Every HID interface present, one record per device path, in the order
    // the system lists them.
    virtual std::vector<HidDeviceInfo> Enumerate() = 0;
    // The report lengths declared by the device's report descriptor; nullopt
    // when the descriptor cannot be read or is not valid. Works without
    // opening the device for reading and writing.
    virtual std::optional<HidReportLengths> ReportLengths(const std::string& path) = 0;
    // nullptr when the node cannot be opened for reading and writing (gone,
    // permission denied, held by another program). An open device holds
    // the node for this program alone until it is destroyed.
    virtual std::unique_ptr<HidDevice> Open(const std::string& path) = 0;
    // Why the last Open gave nullptr, an errno value: EWOULDBLOCK when
    // another program holds the node, EACCES when this user may not open it.
    virtual int OpenError() const { return EACCES; }
    // Whether the node still exists: tells a node that went away after it
    // was listed from one this user may not open.
    virtual bool Present(const std::string& path) = 0;
};

// The back end over hidraw device nodes; nullptr when the HID library cannot
// be started.
std::unique_ptr<HidPlatform> MakeLinuxHidPlatform();
