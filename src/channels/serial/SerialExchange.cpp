#include "channels/serial/SerialExchange.h"

#include "channels/serial/SerialPort.h"

SerialExchange::SerialExchange(ExchangeListener& listener, FrameSlot& slot, SerialPort& port,
                               PollTimer& timer, ModeSource mode, Clock clock)
    : listener_(listener),
      slot_(slot),
      port_(port),
      timer_(timer),
      mode_(std::move(mode)),
      clock_(std::move(clock)) {
    timer_.SetExpiry([this] { Poll(); });
    slot_.OnOrder([this] { reply_.Clear(); });
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
    } else if (slot_.Pending()) {
        awaitingReply_ = true;
        frameWrittenAt_ = clock_();
        port_.RequestWrite(slot_.Take());
    }
    timer_.Start();
}

void SerialExchange::CompleteReply(ExchangeResult result) {
    awaitingReply_ = false;
    listener_.ReplyCompleted(slot_.Use(), result, reply_.bytes, reply_.length);
}

void SerialExchange::StoreReplyByte(uint8_t byte) {
    // Bytes past the buffer's end are not kept.
    if (reply_.length >= 0 && reply_.length < kExchangeBufferSize) {
        reply_.bytes[static_cast<size_t>(reply_.length)] = byte;
        ++reply_.length;
    }
}

void SerialExchange::OnSerialByte(uint8_t byte) {
    timer_.Stop();
    timer_.Start();
    if (burst_.Begin()) {
        reply_.length = 0;
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
