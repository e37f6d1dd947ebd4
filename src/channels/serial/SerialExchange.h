#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "channels/common/ExchangeBuffers.h"
#include "channels/common/ExchangeListener.h"
#include "channels/common/FrameSlot.h"
#include "channels/common/PollTimer.h"
#include "channels/common/ReadBurst.h"
#include "protocol/NameTables.h"
#include "protocol/StatusTexts.h"

class SerialPort;

// The command exchange over the serial line. A pending frame is written at
// a poll; the reply is the next burst of bytes, ended by 100 ms without a
// byte. Bursts that are not replies are cheque or card reads.
class SerialExchange {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // The connect mode in force when the poll runs.
    using ModeSource = std::function<ConnectMode()>;
    // A reply that has not begun this long after its frame was written
    // never comes: the wait ends with result 6.
    static constexpr std::chrono::seconds kNoAnswerLimit{3};
    static constexpr ExchangeResult kNoAnswerResult = kExchangeNoReply;

    SerialExchange(ExchangeListener& listener, FrameSlot& slot, SerialPort& port, PollTimer& timer,
                   ModeSource mode, Clock clock = std::chrono::steady_clock::now);

    // The serial poll (timer 4), run by the poll timer; it ends for good
    // when it finds another connect mode in force.
    void Poll();
    void StartPolling() { timer_.Start(); }
    void StopPolling() { timer_.Stop(); }
    bool Polling() const { return timer_.Active(); }
    // One byte received from the port.
    void OnSerialByte(uint8_t byte);

    bool AwaitingReply() const { return awaitingReply_; }
    bool BurstActive() const { return burst_.Active(); }
    // What has been gathered of the reply, for a look from outside.
    const ExchangeBuffer& Reply() const { return reply_; }

  private:
    void CompleteReply(ExchangeResult result);
    void StoreReplyByte(uint8_t byte);

    ExchangeListener& listener_;
    FrameSlot& slot_;
    ExchangeBuffer reply_;
    SerialPort& port_;
    PollTimer& timer_;
    ModeSource mode_;
    Clock clock_;
    bool awaitingReply_ = false;
    ReadBurst burst_;
    std::chrono::steady_clock::time_point frameWrittenAt_{};
};
