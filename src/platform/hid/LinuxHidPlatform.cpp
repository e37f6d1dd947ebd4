#include <hidapi.h>
#include <unistd.h>

#include <cerrno>

#include <memory>
#include <unordered_set>
#include <utility>

#include "platform/hid/HidLibrary.h"
#include "platform/hid/HidPlatform.h"
#include "platform/hid/HidReportDescriptor.h"
#include "platform/hid/LinuxHidDevice.h"
#include "platform/hid/NodeLock.h"
#include "platform/hid/ReportDescriptorSource.h"
#include "platform/hid/WideText.h"

namespace {

std::string Utf8OrEmpty(const wchar_t* text) {
    return text != nullptr ? WideToUtf8(text) : std::string();
}

HidDeviceInfo ToDeviceInfo(const hid_device_info& record) {
    return HidDeviceInfo{
        .path = record.path,
        .vendorId = record.vendor_id,
        .productId = record.product_id,
        .releaseNumber = record.release_number,
        .productString = Utf8OrEmpty(record.product_string),
        .manufacturerString = Utf8OrEmpty(record.manufacturer_string),
        .serialNumber = Utf8OrEmpty(record.serial_number),
    };
}

// A device whose descriptor names no report id. When the descriptor cannot
// be read, reports are passed on as hidraw gives them.
bool HasUnnumberedReports(const std::string& path) {
    const auto descriptor = ReadReportDescriptor(path);
    return descriptor && !ParseReportLengths(*descriptor).usesReportIds;
}

class LinuxHidPlatform final : public HidPlatform {
  public:
    explicit LinuxHidPlatform(std::shared_ptr<HidLibrary> library) : library_(std::move(library)) {}

    // hidapi lists a device once per top-level collection, each time with the
    // same path; the first record of a path stands for it.
    std::vector<HidDeviceInfo> Enumerate() override {
        std::vector<HidDeviceInfo> devices;
        std::unordered_set<std::string> seen;
        hid_device_info* records = hid_enumerate(0, 0);
        for (const hid_device_info* record = records; record != nullptr; record = record->next) {
            if (record->path != nullptr && seen.insert(record->path).second) {
                devices.push_back(ToDeviceInfo(*record));
            }
        }
        hid_free_enumeration(records);
        return devices;
    }

    std::optional<HidReportLengths> ReportLengths(const std::string& path) override {
        const auto descriptor = ReadReportDescriptor(path);
        if (!descriptor) {
            return std::nullopt;
        }
        const ParsedReportLengths parsed = ParseReportLengths(*descriptor);
        if (!parsed.wellFormed) {
            return std::nullopt;
        }
        return parsed.lengths;
    }

    // The lock comes first: a node another program holds is not opened
    // through hidapi at all, so nothing of this program reaches it.
    std::unique_ptr<HidDevice> Open(const std::string& path) override {
        std::unique_ptr<NodeLock> lock = NodeLock::Take(path, openError_);
        if (!lock) {
            return nullptr;
        }
        hid_device* handle = hid_open_path(path.c_str());
        if (handle == nullptr) {
            // hidapi keeps no errno; the node opened for reading, so what is
            // left is that this user may not write it.
            openError_ = EACCES;
            return nullptr;
        }
        openError_ = 0;
        return std::make_unique<LinuxHidDevice>(handle, std::move(lock), library_,
                                                HasUnnumberedReports(path));
    }

    int OpenError() const override { return openError_; }

    bool Present(const std::string& path) override { return ::access(path.c_str(), F_OK) == 0; }

  private:
    std::shared_ptr<HidLibrary> library_;
    int openError_ = 0;
};

}  // namespace

std::unique_ptr<HidPlatform> MakeLinuxHidPlatform() {
    auto library = HidLibrary::Acquire();
    if (!library) {
        return nullptr;
    }
    return std::make_unique<LinuxHidPlatform>(std::move(library));
}
