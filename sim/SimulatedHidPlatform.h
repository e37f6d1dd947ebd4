#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ReaderModel.h"
#include "platform/hid/HidPlatform.h"

// HID devices that exist only in memory: the simulated reader behind
// feature reports, and other devices (a mouse, a keyboard, a reader of
// another version) to be found or passed over. Devices can be plugged and
// pulled at any moment; open nodes of a pulled device fail.
class SimulatedHidPlatform : public HidPlatform {
  public:
    struct Device {
        HidDeviceInfo info;
        HidReportLengths lengths;
        bool present = true;
        bool openable = true;         // false: permission denied
        bool vanishesOnOpen = false;  // pulled between its listing and its opening
        bool failTransfers = false;   // every report fails
        bool descriptorReadable = true;
        std::unique_ptr<ReaderModel> reader;  // null for devices that are not readers
        // Reader side of the feature reports.
        FrameAssembler assembler;
        std::deque<std::vector<uint8_t>> replies;
        std::vector<std::vector<uint8_t>> sentReports;
        int generation = 0;  // a pull ends every node opened before it
    };

    // The reader with the identity of the model the window looks for.
    static constexpr uint16_t kReaderVendor = 0x0471;
    static constexpr uint16_t kReaderProduct = 0xE001;
    static constexpr uint16_t kReaderVersion = 0x0001;

    // Adds a device; returns its index.
    int AddReader(uint16_t featureLength = 65, uint16_t version = kReaderVersion);
    int AddDevice(uint16_t vendor, uint16_t product, uint16_t version, const std::string& name);

    Device& At(int index) { return *devices_.at(static_cast<size_t>(index)); }
    ReaderModel& Reader(int index) { return *At(index).reader; }
    void Plug(int index);
    void Pull(int index);

    // Called after a device is plugged (true) or pulled (false).
    std::function<void(bool arrived)> onChange;

    std::vector<HidDeviceInfo> Enumerate() override;
    std::optional<HidReportLengths> ReportLengths(const std::string& path) override;
    std::unique_ptr<HidDevice> Open(const std::string& path) override;
    bool Present(const std::string& path) override { return Find(path) != nullptr; }

  private:
    Device* Find(const std::string& path);
    std::vector<std::unique_ptr<Device>> devices_;
};
