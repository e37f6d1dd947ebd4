#include "platform/hid/LinuxHidDevice.h"

#include <hidapi.h>

#include <utility>

namespace {
constexpr int kFailed = -1;
constexpr int kNoWait = 0;
}  // namespace

LinuxHidDevice::LinuxHidDevice(hid_device* handle, std::unique_ptr<NodeLock> lock,
                               std::shared_ptr<HidLibrary> library, bool unnumberedReports)
    : library_(std::move(library)),
      lock_(std::move(lock)),
      handle_(handle),
      unnumberedReports_(unnumberedReports) {}

LinuxHidDevice::~LinuxHidDevice() {
    hid_close(handle_);
}

// The kernel answers with the bytes it passed on; any count means the report
// went through.
bool LinuxHidDevice::SendFeatureReport(std::span<const uint8_t> report) {
    if (report.empty()) {
        return false;
    }
    return hid_send_feature_report(handle_, report.data(), report.size()) >= 0;
}

int LinuxHidDevice::GetFeatureReport(std::span<uint8_t> report) {
    if (report.empty()) {
        return kFailed;
    }
    return hid_get_feature_report(handle_, report.data(), report.size());
}

int LinuxHidDevice::WriteOutputReport(std::span<const uint8_t> report) {
    if (report.empty()) {
        return kFailed;
    }
    return hid_write(handle_, report.data(), report.size());
}

int LinuxHidDevice::ReadInputReport(std::span<uint8_t> report) {
    if (!unnumberedReports_) {
        if (report.empty()) {
            return kFailed;
        }
        return hid_read_timeout(handle_, report.data(), report.size(), kNoWait);
    }
    if (report.size() < 2) {
        return kFailed;
    }
    const std::span<uint8_t> payload = report.subspan(1);
    const int got = hid_read_timeout(handle_, payload.data(), payload.size(), kNoWait);
    if (got <= 0) {
        return got;
    }
    report[0] = 0;
    return got + 1;
}
