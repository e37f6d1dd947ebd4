#include "channels/usb/UsbExchange.h"

#include "protocol/CommandSet.h"

UsbExchange::UsbExchange(ExchangeListener& listener, ExchangeState& exchange, HidChannel& hid,
                         PollTimer& timer, ModeSource mode)
    : listener_(listener), exchange_(exchange), hid_(hid), timer_(timer), mode_(std::move(mode)) {
    timer_.SetExpiry([this] { Poll(); });
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
    } else if (exchange_.commandFrame.length != 0) {
        hid_.SetReportType(HidChannel::kFeatureReports);
        DispatchPendingFrame();
        exchange_.commandFrame.length = 0;
        if (!hid_.Connected()) {
            // The reader went away during the exchange, and its removal
            // stopped the poll: it stays stopped until the reader is back.
            return;
        }
    }
    timer_.Start();
}

void UsbExchange::DispatchPendingFrame() {
    const int32_t type = exchange_.commandType;
    if (!IsCommandType(type)) {
        return;
    }
    const int32_t fromSendCmd = exchange_.frameFromSendCmd;
    const ExchangeResult result = ExchangeFrame();
    const ReplyBuffer& reply = exchange_.replyBuffer;
    const bool configuration = type == kDeviceTypeSetup && fromSendCmd == 0;
    listener_.ReplyCompleted(configuration ? ReplyUse::Configuration : ReplyUse::Status, result,
                             reply.bytes, reply.length);
}

ExchangeResult UsbExchange::ExchangeFrame() {
    if (mode_() != kUsbHidMode) {
        return kExchangeNotConnected;
    }
    running_ = true;
    listener_.TransferBegan();
    const ExchangeResult result =
        hid_.Exchange(exchange_.commandFrame.bytes, exchange_.commandFrame.length,
                      exchange_.replyBuffer.bytes, exchange_.replyBuffer.length);
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
