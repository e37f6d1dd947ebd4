#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "channels/presence/ReaderStack.h"
#include "platform/signals/EndSignals.h"
#include "protocol/Configuration.h"
#include "protocol/FrameOrder.h"

// One reader reached without a window: the window's reader stack, with
// frames built from configuration values by the same builders the window
// uses, so that every frame is the one the window would send for the same
// settings.
class ReaderSession : private ExchangeListener, private ReaderConnection::Listener {
  public:
    // How one command went.
    struct Outcome {
        bool built = false;     // a frame was built and left to go out
        bool sent = false;      // the channel took the frame to send it
        bool answered = false;  // a reply, or the channel's verdict, came in time
        int interrupted = 0;    // the signal that ended the wait, or 0
        ExchangeResult result = kExchangeOk;
        std::vector<uint8_t> frame;  // the frame as built
        std::vector<uint8_t> reply;
        std::string status;  // the status line the window would show
    };

    ReaderSession(std::unique_ptr<HidPlatform> platform, std::unique_ptr<DeviceWatch> watch);
    ReaderSession(const ReaderSession&) = delete;
    ReaderSession& operator=(const ReaderSession&) = delete;
    ~ReaderSession() override;

    // Opens the connection as the window does at start-up; true when the
    // reader was found and may be opened (USB) or the port opened (serial).
    bool Open(ConnectMode mode);
    ReaderConnection::State State() const { return state_; }
    const std::string& Status() const { return status_; }
    HidChannel& Hid() { return stack_.Hid(); }
    // Why the serial line would not open, an errno value; 0 when it did.
    int SerialOpenError() { return stack_.Port().OpenError(); }

    // ESC 'R': on success the reply's first 24 bytes are the block.
    Outcome ReadConfiguration();
    // Device_Type_Setup with this configuration. Its CUSTOM block is only
    // built with bytes 14 and 15 as a read reported them.
    Outcome WriteConfiguration(const Configuration& configuration);
    // Any command of the command set, built from these settings.
    Outcome SendCommand(int32_t commandType, const DeviceSettings& settings);

    // Called with every read the reader sends while reads are watched.
    std::function<void(const std::string& text)> onRead;
    // Runs the event loop until stop() holds (true) or the connection is
    // gone: the USB reader removed, or the serial line failed, or a signal
    // asked the program to end (false).
    bool Watch(const std::function<bool()>& stop);
    // SIGINT, SIGTERM or SIGHUP since the session began, or 0: the program
    // then ends, after it has said what it knows and closed the connection.
    static int Interrupted() { return EndSignals::Received(); }
    // One character the USB reader typed on its keyboard interface: gathered
    // into reads as the window gathers the keys it is typed.
    void KeyCharacter(const std::string& character);

  private:
    // Sends the frame of the command and waits for its reply.
    Outcome Run(int32_t commandType, const Configuration& configuration);
    Outcome RunPendingFrame();
    bool Gone() const;
    bool FrameTaken() const { return !stack_.FramePending(); }

    // ExchangeListener
    void Polled() override {}
    void BurstBegan() override {}
    void ReadGrew(const std::string&) override {}
    void ReadCompleted(const std::string& text) override;
    void ReplyCompleted(ReplyUse use, ExchangeResult result, std::span<const uint8_t> reply,
                        int32_t length) override;

    // ReaderConnection::Listener
    void StateChanged(ReaderConnection::State state) override { state_ = state; }
    void StatusChanged(const std::string& text) override { status_ = text; }
    void Settled() override {}
    void WatchUnavailable() override;
    void Closed() override {}
    // The program says why itself, with the same texts, when it gives up.
    void FailureExplained(const std::string&) override {}

    // First, so that a signal is caught for as long as the connection is open.
    EndSignals ending_{nullptr};
    ReaderStack stack_;
    // The status line the window would show.
    std::string status_;
    int32_t commandType_ = -1;
    ReaderConnection::State state_ = ReaderConnection::State::Opening;
    bool replied_ = false;
    bool lineLost_ = false;  // the serial line failed while open
    Outcome last_;
};
