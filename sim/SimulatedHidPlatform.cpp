#include "SimulatedHidPlatform.h"

#include <algorithm>

namespace {

// An open node of a simulated device.
class SimulatedNode : public HidDevice {
  public:
    SimulatedNode(SimulatedHidPlatform::Device& device)
        : device_(device), generation_(device.generation) {}

    bool SendFeatureReport(std::span<const uint8_t> report) override {
        if (!Usable() || report.empty() || report[0] != 0) {
            return false;
        }
        device_.sentReports.emplace_back(report.begin(), report.end());
        if (device_.reader) {
            // The reader takes the payload of whole reports; the padding
            // after a frame is not part of any command.
            for (auto& frame : device_.assembler.Add(report.subspan(1))) {
                std::vector<uint8_t> reply = device_.reader->HandleFrame(frame);
                if (!reply.empty()) {
                    device_.replies.push_back(std::move(reply));
                }
            }
        }
        return true;
    }

    int GetFeatureReport(std::span<uint8_t> report) override {
        if (!Usable() || report.empty() || device_.replies.empty()) {
            return -1;  // nothing to answer with yet
        }
        std::vector<uint8_t> reply = std::move(device_.replies.front());
        device_.replies.pop_front();
        std::fill(report.begin() + 1, report.end(), 0);
        const size_t n = std::min(reply.size(), report.size() - 1);
        std::copy_n(reply.begin(), n, report.begin() + 1);
        return static_cast<int>(report.size());
    }

    int WriteOutputReport(std::span<const uint8_t> report) override {
        return Usable() ? static_cast<int>(report.size()) : -1;
    }

    int ReadInputReport(std::span<uint8_t>) override { return Usable() ? 0 : -1; }

    // Answers at once, from memory the tests share with the window's thread.
    bool TransfersMayBlock() const override { return false; }

  private:
    bool Usable() const {
        return device_.present && device_.generation == generation_ && !device_.failTransfers;
    }

    SimulatedHidPlatform::Device& device_;
    int generation_;
};

}  // namespace

int SimulatedHidPlatform::AddDevice(uint16_t vendor, uint16_t product, uint16_t version,
                                    const std::string& name) {
    auto device = std::make_unique<Device>();
    const int index = static_cast<int>(devices_.size());
    device->info = {
        "sim:hidraw" + std::to_string(index), vendor, product, version, name, "Simulated",
        "SIM" + std::to_string(index)};
    device->lengths = {8, 0, 0};
    devices_.push_back(std::move(device));
    return index;
}

int SimulatedHidPlatform::AddReader(uint16_t featureLength, uint16_t version) {
    const int index = AddDevice(kReaderVendor, kReaderProduct, version, "Cheque Reader");
    Device& device = At(index);
    device.lengths = {9, 9, featureLength};
    device.reader = std::make_unique<ReaderModel>();
    return index;
}

void SimulatedHidPlatform::Plug(int index) {
    Device& device = At(index);
    device.present = true;
    device.assembler = {};
    device.replies.clear();
    if (onChange) {
        onChange(true);
    }
}

void SimulatedHidPlatform::Pull(int index) {
    Device& device = At(index);
    device.present = false;
    ++device.generation;
    if (onChange) {
        onChange(false);
    }
}

SimulatedHidPlatform::Device* SimulatedHidPlatform::Find(const std::string& path) {
    for (auto& device : devices_) {
        if (device->present && device->info.path == path) {
            return device.get();
        }
    }
    return nullptr;
}

std::vector<HidDeviceInfo> SimulatedHidPlatform::Enumerate() {
    std::vector<HidDeviceInfo> present;
    for (const auto& device : devices_) {
        if (device->present) {
            present.push_back(device->info);
        }
    }
    return present;
}

std::optional<HidReportLengths> SimulatedHidPlatform::ReportLengths(const std::string& path) {
    Device* device = Find(path);
    if (device == nullptr || !device->descriptorReadable) {
        return std::nullopt;
    }
    return device->lengths;
}

std::unique_ptr<HidDevice> SimulatedHidPlatform::Open(const std::string& path) {
    Device* device = Find(path);
    if (device != nullptr && device->vanishesOnOpen) {
        device->present = false;  // pulled without its removal being told yet
        ++device->generation;
        return nullptr;
    }
    if (device == nullptr || !device->openable) {
        return nullptr;
    }
    return std::make_unique<SimulatedNode>(*device);
}
