#include "channels/serial/SerialExchange.h"

#include <algorithm>

#include "channels/serial/SerialPort.h"

SerialExchange::SerialExchange(ExchangeListener& listener, ExchangeState& exchange,
                               SerialPort& port, PollTimer& timer, ModeSource mode, Clock clock)
    : listener_(listener),
      exchange_(exchange),
      port_(port),
      timer_(timer),
      mode_(std::move(mode)),
      clock_(std::move(clock)) {
    timer_.SetExpiry([this] { Poll(); });
}

void SerialExchange::Poll() {
    timer_.Stop();
    if (mode_() != kSerialMode) {
        return;  // gone for good until the serial mode opens again
    }
    listener_.Polled();
    if (burst_.End()) {
        if (awaitingReply_) {
            CompleteReply(kExchangeOk);
        } else {
            listener_.ReadCompleted(burst_.Text());
        }
    } else if (awaitingReply_ && clock_() - frameWrittenAt_ >= kNoAnswerLimit) {
        // No answer: the wait ends, so that the next burst is a read again.
        CompleteReply(kNoAnswerResult);
    } else if (exchange_.commandFrame.length != 0) {
        awaitingReply_ = true;
        frameWrittenAt_ = clock_();
        const auto length =
            static_cast<size_t>(std::clamp(exchange_.commandFrame.length, 0, kExchangeBufferSize));
        port_.RequestWrite(std::span(exchange_.commandFrame.bytes).first(length));
        exchange_.commandFrame.length = 0;
    }
    timer_.Start();
}

void SerialExchange::CompleteReply(ExchangeResult result) {
    awaitingReply_ = false;
    const ReplyBuffer& reply = exchange_.replyBuffer;
    listener_.ReplyCompleted(
        exchange_.frameFromSendCmd == 0 ? ReplyUse::Configuration : ReplyUse::Status, result,
        reply.bytes, reply.length);
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
    timer_.Stop();
    timer_.Start();
    if (burst_.Begin()) {
        exchange_.replyBuffer.length = 0;
        listener_.BurstBegan();
    }
    if (awaitingReply_) {
        StoreReplyByte(byte);
    } else {
        if (burst_.Add(ReadBurst::CharacterOf(byte))) {
            StoreReplyByte(byte);
        }
        listener_.ReadGrew(burst_.Text());
    }
    listener_.ByteReceived();
}
