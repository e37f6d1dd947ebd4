#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "protocol/FrameOrder.h"
#include "protocol/StatusTexts.h"

// What a command exchange tells its user, in the order it happens. Every
// call comes on the thread that runs the exchange.
class ExchangeListener {
  public:
    virtual ~ExchangeListener() = default;
    // A poll is about to look at the exchange: it may complete a read or a
    // reply, or send the pending frame.
    virtual void Polled() = 0;
    // Something began arriving from the reader after a pause: a read, or
    // on the serial line a reply as well.
    virtual void BurstBegan() = 0;
    // A cheque or card read has grown to text.
    virtual void ReadGrew(const std::string& text) = 0;
    // The read is over; text is as much of it as is kept.
    virtual void ReadCompleted(const std::string& text) = 0;
    // The reply to the pending frame is complete, or its wait ended, with
    // result; reply holds length bytes of it.
    virtual void ReplyCompleted(ReplyUse use, ExchangeResult result, std::span<const uint8_t> reply,
                                int32_t length) = 0;
    // A byte came over the serial line; what it meant was told before.
    virtual void ByteReceived() {}
    // A USB transfer of the frame and its reply runs between these: events
    // are handled meanwhile, and nothing may change the frame or the reply.
    virtual void TransferBegan() {}
    virtual void TransferEnded() {}
};
