#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "ReaderModel.h"

// The simulated reader on the far end of a pseudo-terminal: the utility
// opens the terminal's path as its serial port and talks to the reader
// through the real tty code.
class PtyReaderLink {
  public:
    struct Timing {
        int replyDelayMs = 0;  // before a reply begins
        int splitPauseMs = 0;  // pause in the middle of a reply; 0 for none
    };

    PtyReaderLink();
    PtyReaderLink(const PtyReaderLink&) = delete;
    PtyReaderLink& operator=(const PtyReaderLink&) = delete;
    ~PtyReaderLink();

    // Creates the terminal and starts answering; false when no terminal
    // could be made.
    bool Start();
    // Ends at once: a reply still waiting out its delay or pause is dropped.
    void Stop();
    const std::string& Path() const { return path_; }

    // Sends raw bytes to the utility: a cheque or card read, or a flood.
    void Send(std::span<const uint8_t> bytes);
    // Closes this end, as a cable pulled out.
    void Hangup();

    // Under the lock, so the configuration can be edited while running.
    template <typename F>
    auto WithModel(F&& f) {
        std::lock_guard<std::mutex> lock(modelLock_);
        return f(model_);
    }
    void SetTiming(Timing timing);
    Timing CurrentTiming() const;
    // Every frame received so far.
    std::vector<std::vector<uint8_t>> ReceivedFrames() const;

  private:
    void Run();
    void Reply(const std::vector<uint8_t>& reply);
    // Waits ms milliseconds; false when Stop came first.
    bool Pause(int ms);
    void WriteAll(std::span<const uint8_t> bytes);
    void CloseTerminal();

    int master_ = -1;
    int slave_ = -1;
    int wake_ = -1;
    std::string path_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> hangup_{false};
    std::mutex pauseLock_;
    std::condition_variable pauseEnd_;

    mutable std::mutex modelLock_;
    ReaderModel model_;
    Timing timing_;
    FrameAssembler assembler_;
    std::vector<std::vector<uint8_t>> received_;
    std::mutex writeLock_;
};
