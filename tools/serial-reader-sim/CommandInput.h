#pragma once

#include <string>

// Lines from standard input and the signals that end the program, on one
// wait: the program keeps serving its terminal after its input closes, until
// SIGINT or SIGTERM comes.
class CommandInput {
  public:
    enum class Event {
        Line,    // a whole line, or the last one without its line break
        Closed,  // once, at the end of the input; then only Stop
        Stop,    // SIGINT or SIGTERM
    };

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

  private:
    bool TakeLine(std::string& line);

    int signals_ = -1;
    bool open_ = true;
    bool toldClosed_ = false;
    int signal_ = 0;
    std::string pending_;
};
