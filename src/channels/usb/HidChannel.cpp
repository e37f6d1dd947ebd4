#include "HidChannel.h"

#include <algorithm>

#include "HexText.h"

namespace {

// The identity value of a hex text: first byte times 256 plus the second
// (0 when the text gives only one byte).
std::optional<uint16_t> IdentityValue(std::string_view text) {
    const std::vector<uint8_t> bytes = ParseHexBytes(text);
    if (bytes.empty()) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(bytes[0] * 256 + (bytes.size() > 1 ? bytes[1] : 0));
}

}  // namespace

HidChannel::HidChannel(HidPlatform* platform, TimerObject& waitTimer, WaitPump& pump)
    : platform_(platform), waitTimer_(waitTimer), pump_(pump) {
    waitTimer_.onTick = [this](int id) {
        if (id == waitTimerId) {
            OnWaitTick();
        }
    };
}

bool HidChannel::Init() {
    ClearReportType();
    CloseDevice();
    connected = false;
    abortWait = false;
    return platform_ != nullptr;
}

void HidChannel::ClearReportType() {
    featureMode = featureTransfer = interruptMode = interruptTransfer = false;
}

int HidChannel::FindDevice(std::string_view vendorText, std::string_view productText,
                           std::string_view versionText) {
    if (vendorText.empty() || productText.empty() || versionText.empty()) {
        return 1;
    }
    const auto vendor = IdentityValue(vendorText);
    if (!vendor) {
        return 2;
    }
    const auto product = IdentityValue(productText);
    if (!product) {
        return 3;
    }
    const auto version = IdentityValue(versionText);
    if (!version) {
        return 4;
    }
    if (platform_ == nullptr || platform_->Enumerate().empty()) {
        CloseDevice();
        abortWait = true;
        connected = false;
        return 6;
    }
    SearchDevice(*vendor, *product, *version);
    if (found_) {
        connected = true;
        return 0;
    }
    abortWait = true;
    connected = false;
    return 5;
}

void HidChannel::SearchDevice(uint16_t vendor, uint16_t product, uint16_t version) {
    CloseDevice();
    for (const HidDeviceInfo& info : platform_->Enumerate()) {
        if (info.vendorId != vendor || info.productId != product || info.releaseNumber != version) {
            continue;
        }
        const std::optional<HidReportLengths> lengths = platform_->ReportLengths(info.path);
        if (!lengths) {
            continue;  // its capabilities cannot be read
        }
        // A node that cannot be opened for reading and writing still tells
        // who it is: the reader is found, but no report can move.
        device_ = platform_->Open(info.path);
        found_ = true;
        vendorId = info.vendorId;
        productId = info.productId;
        versionNumber = info.releaseNumber;
        inputReportLength = lengths->input;
        outputReportLength = lengths->output;
        featureReportLength = lengths->feature;
        productString = info.productString;
        manufacturerString = info.manufacturerString;
        return;  // the first match wins
    }
}

void HidChannel::CloseDevice() {
    device_.reset();
    found_ = false;
}

void HidChannel::Disconnect() {
    abortWait = true;
    connected = false;
    CloseDevice();
}

void HidChannel::SetReportType(int type) {
    switch (type) {
        case 0:
            featureMode = featureTransfer = true;
            interruptMode = interruptTransfer = false;
            sendReportLength = replyReportLength = featureReportLength;
            sendRoutine_ = readRoutine_ = Routine::Feature;
            break;
        case 1:
            featureMode = featureTransfer = false;
            interruptMode = interruptTransfer = true;
            sendReportLength = outputReportLength;
            replyReportLength = inputReportLength;
            sendRoutine_ = readRoutine_ = Routine::Interrupt;
            break;
        case 2:
            interruptMode = true;
            break;
        default:
            ClearReportType();
            sendReportLength = replyReportLength = 0;
            sendRoutine_ = readRoutine_ = Routine::None;
            break;
    }
}

bool HidChannel::WriteFeature(std::span<uint8_t> report) {
    return device_ && report.size() >= featureReportLength &&
           device_->SendFeatureReport(report.first(featureReportLength));
}

bool HidChannel::ReadFeature(std::span<uint8_t> report) {
    if (!device_ || report.size() < featureReportLength) {
        return false;
    }
    // Report id 0 is asked for.
    std::fill_n(report.begin(), featureReportLength, 0);
    return device_->GetFeatureReport(report.first(featureReportLength)) >= 0;
}

bool HidChannel::WriteOutput(std::span<uint8_t> report) {
    if (!device_ || report.size() < outputReportLength) {
        return false;
    }
    const int written = device_->WriteOutputReport(report.first(outputReportLength));
    if (written < 0) {
        CloseDevice();
    }
    return written > 0;
}

bool HidChannel::ReadInput(std::span<uint8_t> report) {
    if (!device_ || report.size() < inputReportLength) {
        return false;
    }
    const int read = device_->ReadInputReport(report.first(inputReportLength));
    if (read < 0) {
        CloseDevice();
    }
    return read > 0;
}

bool HidChannel::SendReport(std::span<uint8_t> report) {
    switch (sendRoutine_) {
        case Routine::Feature:
            return WriteFeature(report);
        case Routine::Interrupt:
            return WriteOutput(report);
        case Routine::None:
            break;
    }
    return false;
}

bool HidChannel::ReadReport(std::span<uint8_t> report) {
    switch (readRoutine_) {
        case Routine::Feature:
            return ReadFeature(report);
        case Routine::Interrupt:
            return ReadInput(report);
        case Routine::None:
            break;
    }
    return false;
}

void HidChannel::OnWaitTick() {
    // Every wait ends: feature waits too time out after the tick limit.
    if (tickCount > 0 && ++tickCount > kWaitTickLimit) {
        tickCount = 0;
        timedOut = true;
    }
}

ExchangeResult HidChannel::Exchange(std::span<const uint8_t> frame, int32_t frameLength,
                                    std::span<uint8_t> reply, int32_t& replyLength) {
    if (!((featureMode || interruptMode) && (featureTransfer || interruptTransfer))) {
        return 1;
    }
    const int32_t n = sendReportLength;
    // Reports the buffers cannot hold are refused before any transfer.
    if (n < 2 || n > kMaxReportLength || replyReportLength > kReportBufferSize ||
        static_cast<int64_t>(reply.size()) < replyReportLength - 1) {
        return 2;
    }
    abortWait = false;

    const int32_t payload = n - 1;
    const int32_t lastReport = std::max(0, (frameLength - 1) / payload);
    const auto frameEnd = static_cast<int64_t>(
        std::min<int64_t>(std::max(frameLength, 0), static_cast<int64_t>(frame.size())));
    bool ok = false;
    for (int32_t k = 0; k <= lastReport; ++k) {
        std::array<uint8_t, kMaxReportLength> report{};
        for (int32_t i = 0; i < payload; ++i) {
            const int64_t position = static_cast<int64_t>(k) * payload + i;
            if (position < frameEnd) {
                report[static_cast<size_t>(i + 1)] = frame[static_cast<size_t>(position)];
            }
        }
        if (!connected) {
            return 3;
        }
        timedOut = false;
        abortWait = false;
        tickCount = 1;
        waitTimerId = waitTimer_.Start(kWaitTickMs, "HidWait");
        for (;;) {
            ok = SendReport(std::span(report).first(static_cast<size_t>(n)));
            pump_.PumpOneMessage(ok);
            if (timedOut || abortWait) {
                timedOut = abortWait = false;
                break;
            }
            // No node to send to: retrying cannot succeed.
            if (ok || !device_) {
                break;
            }
        }
        waitTimer_.Stop();
    }
    if (!ok) {
        return 4;
    }

    std::fill(reportBuffer_.begin(), reportBuffer_.end(), 0);
    timedOut = false;
    tickCount = 1;
    waitTimerId = waitTimer_.Start(kWaitTickMs, "HidWait");
    if (!connected) {
        waitTimer_.Stop();
        timedOut = false;
        return 5;
    }
    const auto readLength = static_cast<size_t>(std::max(replyReportLength, 0));
    for (;;) {
        ok = ReadReport(std::span(reportBuffer_).first(readLength));
        pump_.PumpOneMessage(ok);
        if (timedOut || abortWait) {
            timedOut = abortWait = false;
            break;
        }
        if (ok) {
            break;
        }
        if (!connected) {
            waitTimer_.Stop();
            timedOut = false;
            return 5;
        }
        if (!device_) {
            break;
        }
    }
    waitTimer_.Stop();
    if (!ok) {
        return 6;
    }
    replyLength = std::max(replyReportLength - 1, 0);
    std::copy_n(reportBuffer_.begin() + 1, replyLength, reply.begin());
    return 0;
}
