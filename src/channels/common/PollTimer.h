#pragma once

#include <functional>
#include <memory>

// The one-shot timer an exchange polls by: it is set again after each poll.
class PollTimer {
  public:
    static constexpr int kPollIntervalMs = 100;

    virtual ~PollTimer() = default;
    // What runs when the timer expires.
    virtual void SetExpiry(std::function<void()> expiry) = 0;
    // Starts the timer, or starts it again, for one interval.
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool Active() const = 0;
};

// A poll timer of the calling thread's event loop.
std::unique_ptr<PollTimer> MakeQtPollTimer();
