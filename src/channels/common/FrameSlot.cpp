#include "channels/common/FrameSlot.h"

#include <utility>

void FrameSlot::Apply(const FrameOrder& order) {
    for (const auto& forget : forgetters_) {
        forget();
    }
    use_ = order.use;
    if (order.action == FrameOrder::Action::Drop) {
        pending_ = false;
        frame_.clear();
    } else if (order.action == FrameOrder::Action::Send) {
        // An empty frame is nothing to send.
        pending_ = !order.frame.empty();
        frame_ = order.frame;
    }
}

std::vector<uint8_t> FrameSlot::Take() {
    pending_ = false;
    return std::exchange(frame_, {});
}
