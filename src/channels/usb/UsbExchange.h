#pragma once

#include <string>

#include "ExchangeHost.h"
#include "ExchangeState.h"
#include "HidChannel.h"

// The window's side of the USB reader: the USB poll that sends a pending
// frame and completes keyboard reads, and the gathering of the characters
// a reader types.
class UsbExchange {
  public:
    // A keyboard burst is a read only from this many characters on.
    static constexpr int kMinReadCharacters = 15;

    UsbExchange(ExchangeHost& host, ExchangeState& exchange, HidChannel& hid);

    // The USB poll (timer 1).
    void Poll(int connectModeIndex);
    // One character typed into the window (UTF-8), seen before it is handled.
    void OnKeyCharacter(const std::string& character, int connectModeIndex);
    // "Count Again": the characters gathered so far are forgotten.
    void ResetKeys();

    // Sends the pending frame and hands the outcome to the decoding or the
    // status report.
    void DispatchPendingFrame(int connectModeIndex);
    ExchangeResult ExchangeFrame(int connectModeIndex);

    bool Running() const { return running_; }
    int KeyCount() const { return keyCount_; }

  private:
    ExchangeHost& host_;
    ExchangeState& exchange_;
    HidChannel& hid_;
    bool running_ = false;
    bool keyBurstActive_ = false;
    int keyCount_ = 0;
    std::string keyReadText_;
};
