#include "UsbExchange.h"

#include "CommandSet.h"

namespace {

constexpr int kUsbMode = 0;

// Framing characters of a read that are not part of its text.
bool IsFramingCharacter(const std::string& c) {
    return c.size() == 1 &&
           (c[0] == '\x02' || c[0] == '\x03' || c[0] == '\n' || c[0] == '\r' || c[0] == '\x1b');
}

}  // namespace

UsbExchange::UsbExchange(ExchangeHost& host, ExchangeState& exchange, HidChannel& hid)
    : host_(host), exchange_(exchange), hid_(hid) {}

void UsbExchange::Poll(int connectModeIndex) {
    host_.KillUsbTimer();
    if (connectModeIndex != kUsbMode) {
        return;  // in serial mode the first expiry ends it
    }
    if (running_) {
        // A tick inside a running exchange (the connection was reopened
        // during its wait): the exchange's own poll sets the timer again.
        return;
    }
    host_.SaveSettings();
    if (keyBurstActive_) {
        const int count = keyCount_;
        keyBurstActive_ = false;
        keyCount_ = 0;
        if (count >= kMinReadCharacters) {
            host_.CompleteCheckRead(keyReadText_);
            host_.LoadSettings();
        }
    } else if (exchange_.commandFrame.length != 0) {
        hid_.SetReportType(HidChannel::kFeatureReports);
        DispatchPendingFrame(connectModeIndex);
        exchange_.commandFrame.length = 0;
        if (!hid_.Connected()) {
            // The reader went away during the exchange, and its removal
            // stopped the poll: it stays stopped until the reader is back.
            return;
        }
    }
    host_.SetUsbTimer();
}

void UsbExchange::DispatchPendingFrame(int connectModeIndex) {
    const int32_t type = exchange_.commandType;
    if (!IsCommandType(type)) {
        return;
    }
    const int32_t fromSendCmd = exchange_.frameFromSendCmd;
    const ExchangeResult result = ExchangeFrame(connectModeIndex);
    const ReplyBuffer& reply = exchange_.replyBuffer;
    if (type == kDeviceTypeSetup && fromSendCmd == 0) {
        host_.DecodeConfigReply(result, reply.bytes, reply.length);
    } else {
        host_.ReportExchangeResult(result, reply.bytes, reply.length);
    }
}

ExchangeResult UsbExchange::ExchangeFrame(int connectModeIndex) {
    if (connectModeIndex != kUsbMode) {
        return kExchangeNotConnected;
    }
    running_ = true;
    host_.BeginUsbExchange();
    const ExchangeResult result =
        hid_.Exchange(exchange_.commandFrame.bytes, exchange_.commandFrame.length,
                      exchange_.replyBuffer.bytes, exchange_.replyBuffer.length);
    host_.EndUsbExchange();
    running_ = false;
    return result;
}

void UsbExchange::OnKeyCharacter(const std::string& character, int connectModeIndex) {
    if (connectModeIndex != kUsbMode) {
        host_.FocusComparisonBox();
        return;
    }
    ++keyCount_;
    host_.KillUsbTimer();
    host_.SetUsbTimer();
    if (!keyBurstActive_) {
        keyReadText_.clear();
        host_.FocusComparisonBox();
        keyBurstActive_ = true;
    }
    if (!IsFramingCharacter(character) && keyReadText_.size() < kMaxReadTextBytes) {
        keyReadText_ += character;
    }
    host_.ShowCheckReadData(keyReadText_);
}

void UsbExchange::ResetKeys() {
    keyCount_ = 0;
    keyReadText_.clear();
}
