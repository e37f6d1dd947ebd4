#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "ExchangeHost.h"
#include "ExchangeState.h"
#include "StatusTexts.h"

class SerialPort;

// The command exchange over the serial line. A pending frame is written at
// a poll; the reply is the next burst of bytes, ended by 100 ms without a
// byte. Bursts that are not replies are cheque or card reads.
class SerialExchange {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // A reply that has not begun this long after its frame was written
    // never comes: the wait ends with result 6.
    static constexpr std::chrono::seconds kNoAnswerLimit{3};
    static constexpr ExchangeResult kNoAnswerResult = kExchangeNoReply;

    SerialExchange(ExchangeHost& host, ExchangeState& exchange, SerialPort& port,
                   Clock clock = std::chrono::steady_clock::now);

    // The serial poll (timer 4).
    void Poll(int connectModeIndex);
    // One byte received from the port.
    void OnSerialByte(uint8_t byte);

    bool AwaitingReply() const { return awaitingReply_; }
    bool BurstActive() const { return serialBurstActive_; }

  private:
    void CompleteReply(ExchangeResult result);
    void StoreReplyByte(uint8_t byte);

    ExchangeHost& host_;
    ExchangeState& exchange_;
    SerialPort& port_;
    Clock clock_;
    bool awaitingReply_ = false;
    bool serialBurstActive_ = false;
    std::string serialReadText_;
    std::chrono::steady_clock::time_point frameWrittenAt_{};
};
