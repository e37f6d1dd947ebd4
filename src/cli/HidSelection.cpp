#include "cli/HidSelection.h"

#include <algorithm>
#include <string>

#include "protocol/NameTables.h"

namespace {

uint16_t HexOf(const char* text) {
    return static_cast<uint16_t>(std::stoul(text, nullptr, 16));
}

class OnePathPlatform : public HidPlatform {
  public:
    OnePathPlatform(std::unique_ptr<HidPlatform> inner, std::string path)
        : inner_(std::move(inner)), path_(std::move(path)) {}

    std::vector<HidDeviceInfo> Enumerate() override {
        std::vector<HidDeviceInfo> all = inner_->Enumerate();
        std::erase_if(all, [this](const HidDeviceInfo& d) { return d.path != path_; });
        return all;
    }
    std::optional<HidReportLengths> ReportLengths(const std::string& path) override {
        return inner_->ReportLengths(path);
    }
    std::unique_ptr<HidDevice> Open(const std::string& path) override { return inner_->Open(path); }
    int OpenError() const override { return inner_->OpenError(); }
    bool Present(const std::string& path) override { return inner_->Present(path); }

  private:
    std::unique_ptr<HidPlatform> inner_;
    std::string path_;
};

}  // namespace

std::vector<HidDeviceInfo> ListReaders(HidPlatform& platform) {
    const DeviceModel& model = kDeviceModels[kCurrentDeviceIndex];
    const uint16_t vendor = HexOf(model.vendorId);
    const uint16_t product = HexOf(model.productId);
    const uint16_t version = HexOf(model.version);
    std::vector<HidDeviceInfo> readers = platform.Enumerate();
    std::erase_if(readers, [&](const HidDeviceInfo& d) {
        return d.vendorId != vendor || d.productId != product || d.releaseNumber != version;
    });
    return readers;
}

std::unique_ptr<HidPlatform> OnlyThePath(std::unique_ptr<HidPlatform> platform,
                                         const std::string& path) {
    return std::make_unique<OnePathPlatform>(std::move(platform), path);
}
