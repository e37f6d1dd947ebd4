#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Lines from standard input, answers to standard output and the signals
// that end the program, on one wait: the program keeps serving its terminal
// after its input closes, until SIGINT or SIGTERM comes, and a signal ends
// it even while its output is not being read.
class CommandInput {
  public:
    enum class Event {
        Line,     // a whole line, or the last one without its line break
        TooLong,  // a line longer than kLongestLine: the whole of it is left out
        Closed,   // once, at the end of the input; then only Stop
        Stop,     // SIGINT or SIGTERM
    };

    // Far more than any command needs; a longer line is never kept whole.
    static constexpr size_t kLongestLine = 1024;

    CommandInput() = default;
    CommandInput(const CommandInput&) = delete;
    CommandInput& operator=(const CommandInput&) = delete;
    ~CommandInput();

    // Blocks SIGINT and SIGTERM in this thread and takes them as events: call
    // it before any other thread starts, so that every thread inherits the
    // block. False when the signals cannot be taken.
    bool Open();

    Event Next(std::string& line);
    // The signal that came with Stop.
    int Signal() const { return signal_; }

    // Writes to standard output, waiting for room; false when a signal came
    // first (Next then gives Stop) or the output is gone. With wait false,
    // writes only what the output takes at once.
    bool Print(std::string_view text, bool wait = true);

  private:
    enum class Found { Nothing, Line, TooLong };
    Found TakeLine(std::string& line);
    // Reads more input, or the end of it.
    void ReadMore();
    // Waits for fd to be ready for events, or for a signal: false for a signal.
    bool WaitFor(int fd, short events);

    int signals_ = -1;
    bool signalled_ = false;
    bool open_ = true;
    bool toldClosed_ = false;
    bool skipping_ = false;  // inside a line already refused as too long
    int signal_ = 0;
    std::string pending_;  // [start_, end) not yet taken, [start_, scanned_) without '\n'
    size_t start_ = 0;
    size_t scanned_ = 0;
};
