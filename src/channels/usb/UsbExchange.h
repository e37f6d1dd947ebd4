#pragma once

#include <functional>
#include <string>

#include "channels/common/ExchangeBuffers.h"
#include "channels/common/ExchangeListener.h"
#include "channels/common/FrameSlot.h"
#include "channels/common/PollTimer.h"
#include "channels/common/ReadBurst.h"
#include "channels/usb/HidChannel.h"
#include "protocol/NameTables.h"

// The exchange with a USB reader: the USB poll that sends a pending frame
// and completes keyboard reads, and the gathering of the characters a
// reader types.
class UsbExchange {
  public:
    // The connect mode in force when the poll runs.
    using ModeSource = std::function<ConnectMode()>;
    // A keyboard burst is a read only from this many characters on.
    static constexpr int kMinReadCharacters = 15;

    UsbExchange(ExchangeListener& listener, FrameSlot& slot, HidChannel& hid, PollTimer& timer,
                ModeSource mode);

    // The USB poll (timer 1), run by the poll timer; in serial mode its
    // first run ends it.
    void Poll();
    void StartPolling() { timer_.Start(); }
    void StopPolling() { timer_.Stop(); }
    bool Polling() const { return timer_.Active(); }
    // One character the reader typed (UTF-8), in USB mode.
    void OnKeyCharacter(const std::string& character);
    // "Count Again": the characters gathered so far are forgotten.
    void ResetKeys();

    // Sends the pending frame and tells how its reply is to be read.
    void DispatchPendingFrame();

    bool Running() const { return running_; }
    int KeyCount() const { return keyCount_; }

  private:
    ExchangeResult ExchangeFrame(const std::vector<uint8_t>& frame);

    ExchangeListener& listener_;
    FrameSlot& slot_;
    ExchangeBuffer reply_;
    HidChannel& hid_;
    PollTimer& timer_;
    ModeSource mode_;
    bool running_ = false;
    int keyCount_ = 0;
    ReadBurst burst_;
};
