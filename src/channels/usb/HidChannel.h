#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "HidPlatform.h"
#include "StatusTexts.h"
#include "TimerObject.h"
#include "WaitPump.h"

// The path to a reader attached over USB: finds it among the HID devices by
// its identity, opens it, learns its report lengths, moves reports, and
// runs one command exchange at a time while keeping the window alive.
class HidChannel {
  public:
    static constexpr int kMaxReportLength = 128;    // the assembled send report
    static constexpr int kReportBufferSize = 1025;  // a reply report, id byte included
    static constexpr int kWaitTickMs = 300;
    static constexpr int kWaitTickLimit = 64;  // about 19.2 s

    HidChannel(HidPlatform* platform, TimerObject& waitTimer, WaitPump& pump);

    // Ready for a search; false when there is no HID library.
    bool Init();
    // FindResult 0 to 6 for the model's three identity texts.
    int FindDevice(std::string_view vendorText, std::string_view productText,
                   std::string_view versionText);
    void SetReportType(int type);
    void CloseDevice();
    void Disconnect();

    bool WriteFeature(std::span<uint8_t> report);
    bool ReadFeature(std::span<uint8_t> report);
    bool WriteOutput(std::span<uint8_t> report);
    bool ReadInput(std::span<uint8_t> report);

    // Sends one frame as reports and reads one reply report; the reply's
    // payload goes to reply, only when the result is 0.
    ExchangeResult Exchange(std::span<const uint8_t> frame, int32_t frameLength,
                            std::span<uint8_t> reply, int32_t& replyLength);
    void OnWaitTick();

    // The reader was found but its node could not be opened for reading
    // and writing: reports cannot move.
    bool FoundWithoutAccess() const { return found_ && !device_; }

    // Channel state, read and written by the window's handlers too.
    bool connected = false;
    bool abortWait = false;
    bool timedOut = false;
    int tickCount = 0;
    int waitTimerId = 0;

    uint16_t inputReportLength = 0;
    uint16_t outputReportLength = 0;
    uint16_t featureReportLength = 0;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
    std::string productString;
    std::string manufacturerString;

    bool featureMode = false;
    bool featureTransfer = false;
    bool interruptMode = false;
    bool interruptTransfer = false;
    int32_t sendReportLength = 0;
    int32_t replyReportLength = 0;

  private:
    enum class Routine { None, Feature, Interrupt };
    bool SendReport(std::span<uint8_t> report);
    bool ReadReport(std::span<uint8_t> report);
    void SearchDevice(uint16_t vendor, uint16_t product, uint16_t version);
    void ClearReportType();

    HidPlatform* platform_;
    TimerObject& waitTimer_;
    WaitPump& pump_;
    std::unique_ptr<HidDevice> device_;
    bool found_ = false;
    Routine sendRoutine_ = Routine::None;
    Routine readRoutine_ = Routine::None;
    std::array<uint8_t, kReportBufferSize> reportBuffer_{};
};
