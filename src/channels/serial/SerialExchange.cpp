#include "SerialExchange.h"

#include <algorithm>

#include "SerialPort.h"

namespace {

constexpr int kSerialMode = 1;

// Read texts are UTF-8; each received byte is one character.
void AppendByteAsCharacter(std::string& text, uint8_t byte) {
    if (byte < 0x80) {
        text.push_back(static_cast<char>(byte));
    } else {
        text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
        text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
}

// Framing bytes of a read that are not part of its text.
bool IsFramingByte(uint8_t b) {
    return b == 0x02 || b == 0x03 || b == 0x0A || b == 0x0D || b == 0x1B;
}

}  // namespace

SerialExchange::SerialExchange(ExchangeHost& host, ExchangeState& exchange, SerialPort& port,
                               Clock clock)
    : host_(host), exchange_(exchange), port_(port), clock_(std::move(clock)) {}

void SerialExchange::Poll(int connectModeIndex) {
    host_.KillSerialTimer();
    if (connectModeIndex != kSerialMode) {
        return;  // gone for good until the serial mode opens again
    }
    host_.SaveSettings();
    if (serialBurstActive_) {
        serialBurstActive_ = false;
        if (awaitingReply_) {
            CompleteReply(kExchangeOk);
        } else {
            host_.CompleteCheckRead(serialReadText_);
        }
        host_.LoadSettings();
    } else if (awaitingReply_ && clock_() - frameWrittenAt_ >= kNoAnswerLimit) {
        // No answer: the wait ends, so that the next burst is a read again.
        CompleteReply(kNoAnswerResult);
        host_.LoadSettings();
    } else if (exchange_.commandFrame.length != 0) {
        awaitingReply_ = true;
        frameWrittenAt_ = clock_();
        const auto length =
            static_cast<size_t>(std::clamp(exchange_.commandFrame.length, 0, kExchangeBufferSize));
        port_.RequestWrite(std::span(exchange_.commandFrame.bytes).first(length));
        exchange_.commandFrame.length = 0;
    }
    host_.SetSerialTimer();
}

void SerialExchange::CompleteReply(ExchangeResult result) {
    awaitingReply_ = false;
    const ReplyBuffer& reply = exchange_.replyBuffer;
    if (exchange_.frameFromSendCmd == 0) {
        host_.DecodeConfigReply(result, reply.bytes, reply.length);
    } else {
        host_.ReportExchangeResult(result, reply.bytes, reply.length);
    }
}

void SerialExchange::StoreReplyByte(uint8_t byte) {
    // Bytes past the buffer's end are not kept.
    ReplyBuffer& reply = exchange_.replyBuffer;
    if (reply.length >= 0 && reply.length < kExchangeBufferSize) {
        reply.bytes[static_cast<size_t>(reply.length)] = byte;
        ++reply.length;
    }
}

void SerialExchange::OnSerialByte(uint8_t byte) {
    host_.KillSerialTimer();
    host_.SetSerialTimer();
    if (!serialBurstActive_) {
        serialReadText_.clear();
        exchange_.replyBuffer.length = 0;
        host_.FocusComparisonBox();
        serialBurstActive_ = true;
    }
    if (awaitingReply_) {
        StoreReplyByte(byte);
    } else {
        if (!IsFramingByte(byte)) {
            StoreReplyByte(byte);
            if (serialReadText_.size() < kMaxReadTextBytes) {
                AppendByteAsCharacter(serialReadText_, byte);
            }
        }
        host_.ShowCheckReadData(serialReadText_);
    }
    // The load shows the window's record on its controls; a click made since
    // the last poll is taken into the record first, or the load would undo it.
    host_.SaveSettings();
    host_.LoadSettings();
}
