#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "ReaderModel.h"

// The simulated reader on the far end of a pseudo-terminal: the utility
// opens the terminal's path as its serial port and talks to the reader
// through the real tty code.
//
// Like a reader on a cable, it never waits for the program on the line:
// its replies, and what Offer sends, go out as far as the line takes them
// and the rest is dropped and counted. Once the last program on the line
// closes it, by exit or by a kill, the line's exclusive flag is cleared, so
// that the next program may open it.
class PtyReaderLink {
  public:
    struct Timing {
        int replyDelayMs = 0;  // before a reply begins
        int splitPauseMs = 0;  // pause in the middle of a reply; 0 for none
    };

    // Bytes since Start.
    struct LineCounts {
        uint64_t sent = 0;
        uint64_t dropped = 0;  // what the line did not take
    };

    // ReceivedFrames keeps the latest ones only, so that a flood of
    // commands does not grow the program.
    static constexpr size_t kKeptFrames = 1024;

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

    // Sends raw bytes to the utility, a flood to a program that reads it:
    // waits for the line to take them all, until Stop or Hangup comes.
    void Send(std::span<const uint8_t> bytes);
    // Sends what the line takes at once, a cheque or card read; the rest is
    // dropped. Gives how many bytes went out.
    size_t Offer(std::span<const uint8_t> bytes);
    LineCounts Counts() const;
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
    // The frames received so far, the latest kKeptFrames of them.
    std::vector<std::vector<uint8_t>> ReceivedFrames() const;

  private:
    void Run();
    void Reply(const std::vector<uint8_t>& reply);
    // Waits ms milliseconds; false when Stop came first.
    bool Pause(int ms);
    void WriteAll(std::span<const uint8_t> bytes);
    void CloseTerminal();
    void TakeFrames(std::span<const uint8_t> bytes);
    void CountOpeners();

    int master_ = -1;
    int slave_ = -1;
    int wake_ = -1;
    int openings_ = -1;  // inotify on the terminal's path; -1 when it cannot be watched
    int openers_ = 0;    // files open on the terminal, apart from this one's
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
    std::deque<std::vector<uint8_t>> received_;
    std::mutex writeLock_;
    std::atomic<uint64_t> sent_{0};
    std::atomic<uint64_t> dropped_{0};
};
