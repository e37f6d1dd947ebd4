#include "channels/usb/HidChannel.h"

#include <algorithm>

#include "channels/common/Trace.h"
#include "protocol/HexText.h"

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

HidChannel::HidChannel(HidPlatform* platform, TimerObject& waitTimer, WaitPump& pump, Clock clock)
    : platform_(platform), waitTimer_(waitTimer), pump_(pump), clock_(std::move(clock)) {
    waitTimer_.onTick = [this](int id) {
        if (id == waitTimerId_) {
            OnWaitTick();
        }
    };
}

bool HidChannel::Init() {
    ClearReportType();
    CloseDevice();
    connected_ = false;
    abortWait_ = false;
    return platform_ != nullptr;
}

void HidChannel::ClearReportType() {
    featureMode_ = featureTransfer_ = interruptMode_ = interruptTransfer_ = false;
}

FindResult HidChannel::FindDevice(std::string_view vendorText, std::string_view productText,
                                  std::string_view versionText) {
    if (vendorText.empty() || productText.empty() || versionText.empty()) {
        return kFindEmptyIdentity;
    }
    const auto vendor = IdentityValue(vendorText);
    if (!vendor) {
        return kFindBadVendor;
    }
    const auto product = IdentityValue(productText);
    if (!product) {
        return kFindBadProduct;
    }
    const auto version = IdentityValue(versionText);
    if (!version) {
        return kFindBadVersion;
    }
    const std::vector<HidDeviceInfo> devices =
        platform_ != nullptr ? platform_->Enumerate() : std::vector<HidDeviceInfo>{};
    readerListed_ = false;
    if (devices.empty()) {
        CloseDevice();
        abortWait_ = true;
        connected_ = false;
        return kFindNoHidDevice;
    }
    SearchDevice(devices, *vendor, *product, *version);
    if (found_) {
        connected_ = true;
        return kFindOpened;
    }
    abortWait_ = true;
    connected_ = false;
    return kFindNoMatch;
}

void HidChannel::SearchDevice(const std::vector<HidDeviceInfo>& devices, uint16_t vendor,
                              uint16_t product, uint16_t version) {
    CloseDevice();
    for (const HidDeviceInfo& info : devices) {
        if (info.vendorId != vendor || info.productId != product || info.releaseNumber != version) {
            continue;
        }
        readerListed_ = true;
        const std::optional<HidReportLengths> lengths = platform_->ReportLengths(info.path);
        if (!lengths) {
            continue;  // its capabilities cannot be read
        }
        // A node that cannot be opened for reading and writing still tells
        // who it is: the reader is found, but no report can move. A node
        // that went away in the meantime is not found.
        device_ = platform_->Open(info.path);
        openError_ = device_ ? 0 : platform_->OpenError();
        if (!device_ && !platform_->Present(info.path)) {
            continue;
        }
        found_ = true;
        reader_ = info;
        lengths_ = *lengths;
        if (TraceEnabled()) {
            Trace("usb " + info.path, "",
                  device_        ? "reader found"
                  : FoundInUse() ? "reader found, held by another program"
                                 : "reader found, not opened");
        }
        return;  // the first match wins
    }
}

void HidChannel::CloseDevice() {
    if (device_ && TraceEnabled()) {
        Trace("usb " + reader_.path, "", "closed");
    }
    device_.reset();
    ++opening_;
    found_ = false;
}

void HidChannel::Disconnect() {
    abortWait_ = true;
    connected_ = false;
    CloseDevice();
}

void HidChannel::SetReportType(ReportType type) {
    switch (type) {
        case kFeatureReports:
            featureMode_ = featureTransfer_ = true;
            interruptMode_ = interruptTransfer_ = false;
            sendReportLength_ = replyReportLength_ = lengths_.feature;
            sendRoutine_ = readRoutine_ = Routine::Feature;
            break;
        case kInterruptReports:
            featureMode_ = featureTransfer_ = false;
            interruptMode_ = interruptTransfer_ = true;
            sendReportLength_ = lengths_.output;
            replyReportLength_ = lengths_.input;
            sendRoutine_ = readRoutine_ = Routine::Interrupt;
            break;
        case kConnectReports:
            interruptMode_ = true;
            break;
        default:
            ClearReportType();
            sendReportLength_ = replyReportLength_ = 0;
            sendRoutine_ = readRoutine_ = Routine::None;
            break;
    }
}

namespace {

// One transfer of a routine, made wherever the channel asks: the bytes moved
// with the id byte, or -1. A read of a feature report asks for report id 0.
int Move(HidDevice& device, bool feature, bool sending, std::span<uint8_t> report) {
    if (feature && sending) {
        return device.SendFeatureReport(report) ? static_cast<int>(report.size()) : -1;
    }
    if (feature) {
        std::fill(report.begin(), report.end(), 0);
        return device.GetFeatureReport(report);
    }
    return sending ? device.WriteOutputReport(report) : device.ReadInputReport(report);
}

// Move, traced: each report that went out or came in, as many bytes as
// moved. Failed attempts are not traced: a wait retries them many times.
int Transfer(HidDevice& device, const std::string& path, bool feature, bool sending,
             std::span<uint8_t> report) {
    const int result = Move(device, feature, sending, report);
    if (result > 0 && TraceEnabled()) {
        const std::string_view kind =
            feature ? "feature report" : (sending ? "output report" : "input report");
        const auto moved = report.first(std::min(static_cast<size_t>(result), report.size()));
        Trace("usb " + path, sending ? "->" : "<-",
              std::string(kind) + " (" + std::to_string(moved.size()) + ")", moved);
    }
    return result;
}

}  // namespace

HidChannel::Attempt HidChannel::TryTransfer(bool sending, std::span<uint8_t> report) {
    if (inFlight_) {
        return Collect(sending, report);
    }
    const Routine routine = sending ? sendRoutine_ : readRoutine_;
    const bool feature = routine == Routine::Feature;
    const size_t length = feature ? lengths_.feature : (sending ? lengths_.output : lengths_.input);
    if (routine == Routine::None || !device_ || report.size() < length) {
        return Attempt::Failed;
    }
    const std::span<uint8_t> bytes = report.first(length);
    if (!device_->TransfersMayBlock()) {
        return Outcome(sending, Transfer(*device_, reader_.path, feature, sending, bytes));
    }
    // The device goes with the transfer: closing it here must not pull it
    // from under a transfer the reader still holds.
    inFlight_ = worker_.Start(
        std::vector<uint8_t>(bytes.begin(), bytes.end()),
        [device = device_, path = reader_.path, feature, sending](std::span<uint8_t> buffer) {
            return Transfer(*device, path, feature, sending, buffer);
        });
    inFlightOpening_ = opening_;
    return Collect(sending, report);
}

HidChannel::Attempt HidChannel::Collect(bool sending, std::span<uint8_t> report) {
    if (!inFlight_->done.load(std::memory_order_acquire)) {
        return Attempt::InFlight;
    }
    const std::shared_ptr<TransferWorker::Transfer> done = std::move(inFlight_);
    if (inFlightOpening_ != opening_) {
        return Attempt::Failed;  // made on a device since closed: try the one open now
    }
    if (!sending) {
        std::copy_n(done->report.begin(), std::min(done->report.size(), report.size()),
                    report.begin());
    }
    return Outcome(sending, done->result);
}

HidChannel::Attempt HidChannel::Outcome(bool sending, int result) {
    if (!sending) {
        lastReadLength_ = result;
    }
    if ((sending ? sendRoutine_ : readRoutine_) == Routine::Feature) {
        return result >= 0 ? Attempt::Succeeded : Attempt::Failed;
    }
    if (result < 0) {
        CloseDevice();  // an interrupt transfer that fails has lost its node
    }
    return result > 0 ? Attempt::Succeeded : Attempt::Failed;
}

void HidChannel::OnWaitTick() {
    // Every wait ends: feature waits too time out after the tick limit.
    if (tickCount_ > 0 && ++tickCount_ > kWaitTickLimit) {
        tickCount_ = 0;
        timedOut_ = true;
    }
}

bool HidChannel::WaitLimitPassed() const {
    return clock_() - waitStart_ >= waitLimit_;
}

HidChannel::WaitEnd HidChannel::Wait(bool replyWait, std::span<uint8_t> report) {
    bool ok = false;
    for (;;) {
        const Attempt attempt = TryTransfer(!replyWait, report);
        ok = attempt == Attempt::Succeeded;
        pump_.PumpOneMessage(ok);
        // Ticks collapse while the thread is held up; the clock does not.
        if (timedOut_ || abortWait_ || WaitLimitPassed()) {
            timedOut_ = abortWait_ = false;
            break;
        }
        if (ok) {
            break;
        }
        if (replyWait && !connected_) {
            inFlight_.reset();
            waitTimer_.Stop();
            timedOut_ = false;
            return WaitEnd::Disconnected;
        }
        // No node to move reports: retrying cannot succeed.
        if (!device_) {
            break;
        }
    }
    // A transfer still under way is left to finish on its own; its outcome
    // no longer counts.
    inFlight_.reset();
    waitTimer_.Stop();
    return ok ? WaitEnd::Succeeded : WaitEnd::Failed;
}

ExchangeResult HidChannel::Exchange(std::span<const uint8_t> frame, int32_t frameLength,
                                    std::span<uint8_t> reply, int32_t& replyLength) {
    if (!((featureMode_ || interruptMode_) && (featureTransfer_ || interruptTransfer_))) {
        return kExchangeNoReportType;
    }
    const int32_t n = sendReportLength_;
    // Reports the buffers cannot hold are refused before any transfer.
    if (n < 2 || n > kMaxReportLength || replyReportLength_ > kReportBufferSize ||
        static_cast<int64_t>(reply.size()) < replyReportLength_ - 1) {
        return kExchangeBadReportLength;
    }
    abortWait_ = false;

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
        if (!connected_) {
            return kExchangeNotConnected;
        }
        timedOut_ = false;
        abortWait_ = false;
        StartWait();
        ok = Wait(false, std::span(report).first(static_cast<size_t>(n))) == WaitEnd::Succeeded;
    }
    if (!ok) {
        return kExchangeSendFailed;
    }

    std::fill(reportBuffer_.begin(), reportBuffer_.end(), 0);
    timedOut_ = false;
    StartWait();
    if (!connected_) {
        waitTimer_.Stop();
        timedOut_ = false;
        return kExchangeConnectionLost;
    }
    lastReadLength_ = 0;
    const auto readLength = static_cast<size_t>(std::max(replyReportLength_, 0));
    switch (Wait(true, std::span(reportBuffer_).first(readLength))) {
        case WaitEnd::Disconnected:
            return kExchangeConnectionLost;
        case WaitEnd::Failed:
            return kExchangeNoReply;
        case WaitEnd::Succeeded:
            break;
    }
    // The payload is what the reader sent, less the id byte: a short reply
    // must not pass for a whole one padded with zeros.
    replyLength = std::max(std::min(lastReadLength_, replyReportLength_) - 1, 0);
    std::copy_n(reportBuffer_.begin() + 1, replyLength, reply.begin());
    return kExchangeOk;
}

void HidChannel::StartWait() {
    tickCount_ = 1;
    waitStart_ = clock_();
    waitTimerId_ = waitTimer_.Start(kWaitTickMs, "HidWait");
}
