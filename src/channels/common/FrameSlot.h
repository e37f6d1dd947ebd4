#pragma once

#include <functional>
#include <span>
#include <vector>

#include "protocol/FrameOrder.h"

// The one outgoing frame, shared by both exchanges so that it goes out once
// whichever connect mode is in force: the exchange that polls takes it.
// The slot also says how the next reply is read, and tells the exchanges to
// forget what they gathered of a reply whenever an order comes.
class FrameSlot {
  public:
    void Apply(const FrameOrder& order);

    bool Pending() const { return pending_; }
    // The pending frame, empty when none is.
    const std::vector<uint8_t>& Frame() const { return frame_; }
    // The pending frame; none is left.
    std::vector<uint8_t> Take();
    ReplyUse Use() const { return use_; }

    // Called with every order, before the frame changes.
    void OnOrder(std::function<void()> forget) { forgetters_.push_back(std::move(forget)); }

  private:
    bool pending_ = false;
    std::vector<uint8_t> frame_;
    ReplyUse use_ = ReplyUse::Configuration;
    std::vector<std::function<void()>> forgetters_;
};
