#pragma once

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "channels/usb/TimerObject.h"
#include "channels/usb/TransferWorker.h"
#include "channels/usb/WaitPump.h"
#include "platform/hid/HidPlatform.h"
#include "protocol/ConnectionTexts.h"
#include "protocol/StatusTexts.h"

// The path to a reader attached over USB: finds it among the HID devices by
// its identity, opens it, learns its report lengths, moves reports, and
// runs one command exchange at a time while keeping the window alive.
class HidChannel {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr int kMaxReportLength = 128;    // the assembled send report
    static constexpr int kReportBufferSize = 1025;  // a reply report, id byte included
    static constexpr int kWaitTickMs = 300;
    static constexpr int kWaitTickLimit = 64;  // about 19.2 s
    static constexpr std::chrono::milliseconds kWaitLimit{kWaitTickMs * kWaitTickLimit};

    HidChannel(HidPlatform* platform, TimerObject& waitTimer, WaitPump& pump,
               Clock clock = std::chrono::steady_clock::now);
    HidChannel(const HidChannel&) = delete;
    HidChannel& operator=(const HidChannel&) = delete;

    // How long one wait lasts at most, in elapsed time: a transfer that the
    // reader holds up keeps the timer's ticks from arriving, the clock not.
    void SetWaitLimit(std::chrono::milliseconds limit) { waitLimit_ = limit; }

    // How reports travel: feature reports (every command), interrupt
    // reports, or the choice made at connect, which selects no transfer.
    enum ReportType : int { kFeatureReports = 0, kInterruptReports = 1, kConnectReports = 2 };

    // Ready for a search; false when there is no HID library.
    bool Init();
    FindResult FindDevice(std::string_view vendorText, std::string_view productText,
                          std::string_view versionText);
    void SetReportType(ReportType type);
    void Disconnect();

    // Sends one frame as reports and reads one reply report; the reply's
    // payload, as many bytes as the reader sent, goes to reply, only when
    // the result is 0. While a transfer is under way the window's events
    // keep being handled.
    ExchangeResult Exchange(std::span<const uint8_t> frame, int32_t frameLength,
                            std::span<uint8_t> reply, int32_t& replyLength);

    // Whether the reader counts as connected. A search sets it; whoever
    // follows arrivals and removals sets it too.
    bool Connected() const { return connected_; }
    void SetConnected(bool connected) { connected_ = connected; }
    // A search that lost the reader, or a disconnect, ends a running wait.
    bool WaitAbortRequested() const { return abortWait_; }

    // The reader was found but its node could not be opened for reading
    // and writing: reports cannot move.
    bool FoundWithoutAccess() const { return found_ && !device_; }
    // Found without access because another program holds the node.
    bool FoundInUse() const { return FoundWithoutAccess() && openError_ == EWOULDBLOCK; }
    // The last search listed a device of the reader's identity, usable or
    // not: a node that is not ready yet may be a moment away.
    bool ReaderListed() const { return readerListed_; }
    // The device the last search found, and its report lengths.
    const HidDeviceInfo& Reader() const { return reader_; }
    const HidReportLengths& ReportLengths() const { return lengths_; }

  private:
    enum class Routine { None, Feature, Interrupt };
    enum class Attempt { InFlight, Succeeded, Failed };
    enum class WaitEnd { Succeeded, Failed, Disconnected };

    // One pass of a wait: starts the transfer, or looks at the one under way.
    Attempt TryTransfer(bool sending, std::span<uint8_t> report);
    Attempt Collect(bool sending, std::span<uint8_t> report);
    // What a finished transfer's result means for the wait.
    Attempt Outcome(bool sending, int result);
    // Runs one wait to its end; the reply wait also ends when the reader is
    // no longer connected.
    WaitEnd Wait(bool replyWait, std::span<uint8_t> report);
    void StartWait();
    bool WaitLimitPassed() const;
    void SearchDevice(const std::vector<HidDeviceInfo>& devices, uint16_t vendor, uint16_t product,
                      uint16_t version);
    void ClearReportType();
    void CloseDevice();
    void OnWaitTick();

    HidPlatform* platform_;
    TimerObject& waitTimer_;
    WaitPump& pump_;
    Clock clock_;
    std::chrono::milliseconds waitLimit_ = kWaitLimit;
    std::chrono::steady_clock::time_point waitStart_{};
    std::shared_ptr<HidDevice> device_;
    TransferWorker worker_;
    std::shared_ptr<TransferWorker::Transfer> inFlight_;
    // Each closing of the node; a transfer made on a node since closed
    // does not count for the one open now.
    int opening_ = 0;
    int inFlightOpening_ = 0;
    int32_t lastReadLength_ = 0;
    bool found_ = false;
    int openError_ = 0;  // why the node found would not open, an errno value
    bool readerListed_ = false;
    HidDeviceInfo reader_;
    HidReportLengths lengths_{};

    bool connected_ = false;
    bool abortWait_ = false;
    bool timedOut_ = false;
    int tickCount_ = 0;
    int waitTimerId_ = 0;
    // The report type as the flags of the selection: a mode without a
    // transfer (as at connect) moves nothing.
    bool featureMode_ = false;
    bool featureTransfer_ = false;
    bool interruptMode_ = false;
    bool interruptTransfer_ = false;
    int32_t sendReportLength_ = 0;
    int32_t replyReportLength_ = 0;
    Routine sendRoutine_ = Routine::None;
    Routine readRoutine_ = Routine::None;
    std::array<uint8_t, kReportBufferSize> reportBuffer_{};
};
