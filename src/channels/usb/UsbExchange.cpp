#include "channels/usb/UsbExchange.h"

UsbExchange::UsbExchange(ExchangeListener& listener, FrameSlot& slot, HidChannel& hid,
                         PollTimer& timer, ModeSource mode)
    : listener_(listener), slot_(slot), hid_(hid), timer_(timer), mode_(std::move(mode)) {
    timer_.SetExpiry([this] { Poll(); });
    slot_.OnOrder([this] { reply_.Clear(); });
}

void UsbExchange::Poll() {
    timer_.Stop();
    if (mode_() != kUsbHidMode) {
        return;  // in serial mode the first expiry ends it
    }
    if (running_) {
        // A tick inside a running exchange (the connection was reopened
        // during its wait): the exchange's own poll sets the timer again.
        return;
    }
    listener_.Polled();
    if (burst_.End()) {
        const int count = keyCount_;
        keyCount_ = 0;
        if (count >= kMinReadCharacters) {
            listener_.ReadCompleted(burst_.Text());
        }
    } else if (slot_.Pending()) {
        hid_.SetReportType(HidChannel::kFeatureReports);
        DispatchPendingFrame();
        if (!hid_.Connected()) {
            // The reader went away during the exchange, and its removal
            // stopped the poll: it stays stopped until the reader is back.
            return;
        }
    }
    timer_.Start();
}

void UsbExchange::DispatchPendingFrame() {
    // The frame leaves the slot as it goes: nothing done during the
    // transfer's wait can send it again.
    const ReplyUse use = slot_.Use();
    const std::vector<uint8_t> frame = slot_.Take();
    const ExchangeResult result = ExchangeFrame(frame);
    listener_.ReplyCompleted(use, result, reply_.bytes, reply_.length);
}

ExchangeResult UsbExchange::ExchangeFrame(const std::vector<uint8_t>& frame) {
    if (mode_() != kUsbHidMode) {
        return kExchangeNotConnected;
    }
    running_ = true;
    listener_.TransferBegan();
    const ExchangeResult result =
        hid_.Exchange(frame, static_cast<int32_t>(frame.size()), reply_.bytes, reply_.length);
    listener_.TransferEnded();
    running_ = false;
    return result;
}

void UsbExchange::OnKeyCharacter(const std::string& character) {
    ++keyCount_;
    timer_.Stop();
    timer_.Start();
    if (burst_.Begin()) {
        listener_.BurstBegan();
    }
    burst_.Add(character);
    listener_.ReadGrew(burst_.Text());
}

void UsbExchange::ResetKeys() {
    keyCount_ = 0;
    burst_.Forget();
}
