#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "StatusTexts.h"

// What the command exchanges of both channels need from the window they
// run in.
class ExchangeHost {
  public:
    virtual ~ExchangeHost() = default;
    virtual void SaveSettings() = 0;
    virtual void LoadSettings() = 0;
    virtual void FocusComparisonBox() = 0;
    virtual void ShowCheckReadData(const std::string& text) = 0;
    virtual void CompleteCheckRead(const std::string& text) = 0;
    virtual void DecodeConfigReply(ExchangeResult result, std::span<const uint8_t> reply,
                                   int32_t length) = 0;
    virtual void ReportExchangeResult(ExchangeResult result, std::span<const uint8_t> reply,
                                      int32_t length) = 0;
    // The two poll timers: 100 ms one-shots, set again after each poll.
    virtual void SetSerialTimer() = 0;
    virtual void KillSerialTimer() = 0;
    virtual void SetUsbTimer() = 0;
    virtual void KillUsbTimer() = 0;
    // A USB exchange runs while these are between: nothing may change the
    // frame or the reply it is using.
    virtual void BeginUsbExchange() = 0;
    virtual void EndUsbExchange() = 0;
};
