#pragma once

#include "channels/common/PollTimer.h"

// A poll timer that only the test expires.
class ManualPollTimer : public PollTimer {
  public:
    void SetExpiry(std::function<void()> expiry) override { expiry_ = std::move(expiry); }
    void Start() override { active_ = true; }
    void Stop() override { active_ = false; }
    bool Active() const override { return active_; }
    // Runs the poll as the expiry would, when the timer runs.
    bool Expire() {
        if (!active_) {
            return false;
        }
        active_ = false;
        expiry_();
        return true;
    }

  private:
    std::function<void()> expiry_;
    bool active_ = false;
};
