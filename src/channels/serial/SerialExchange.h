#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "ExchangeState.h"
#include "StatusTexts.h"

class SerialPort;

// What the serial exchange needs from the window it runs in.
class SerialExchangeHost {
  public:
    virtual ~SerialExchangeHost() = default;
    virtual void SaveSettings() = 0;
    virtual void LoadSettings() = 0;
    virtual void FocusComparisonBox() = 0;
    virtual void ShowCheckReadData(const std::string& text) = 0;
    virtual void CompleteCheckRead(const std::string& text) = 0;
    virtual void DecodeConfigReply(ExchangeResult result, std::span<const uint8_t> reply,
                                   int32_t length) = 0;
    virtual void ReportExchangeResult(ExchangeResult result, std::span<const uint8_t> reply,
                                      int32_t length) = 0;
    // The serial poll timer: a 100 ms one-shot, set again after each poll.
    virtual void SetSerialTimer() = 0;
    virtual void KillSerialTimer() = 0;
};

// The command exchange over the serial line. A pending frame is written at
// a poll; the reply is the next burst of bytes, ended by 100 ms without a
// byte. Bursts that are not replies are cheque or card reads.
class SerialExchange {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // A reply that has not begun this long after its frame was written
    // never comes: the wait ends with result 6.
    static constexpr std::chrono::seconds kNoAnswerLimit{3};
    static constexpr ExchangeResult kNoAnswerResult = 6;

    SerialExchange(SerialExchangeHost& host, ExchangeState& exchange, SerialPort& port,
                   Clock clock = std::chrono::steady_clock::now);

    // The serial poll (timer 4).
    void Poll(int connectModeIndex);
    // One byte received from the port.
    void OnSerialByte(uint8_t byte);

    bool AwaitingReply() const { return awaitingReply_; }
    bool BurstActive() const { return serialBurstActive_; }
    const std::string& ReadText() const { return serialReadText_; }

  private:
    void CompleteReply(ExchangeResult result);
    void StoreReplyByte(uint8_t byte);

    SerialExchangeHost& host_;
    ExchangeState& exchange_;
    SerialPort& port_;
    Clock clock_;
    bool awaitingReply_ = false;
    bool serialBurstActive_ = false;
    std::string serialReadText_;
    std::chrono::steady_clock::time_point frameWrittenAt_{};
};
