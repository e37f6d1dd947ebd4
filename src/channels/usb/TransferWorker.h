#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

// Runs a device's transfers on a thread of their own, one at a time and in
// the order they were started, so that a reader that holds a transfer up
// (the kernel allows a control transfer five seconds) does not hold up the
// window's thread. The caller looks at a transfer's outcome when it likes
// and may walk away from one that has not finished.
class TransferWorker {
  public:
    // One transfer: its report buffer belongs to it until it is done.
    struct Transfer {
        std::vector<uint8_t> report;
        int result = -1;
        std::atomic<bool> done{false};
    };
    using Job = std::function<int(std::span<uint8_t> report)>;

    TransferWorker();
    TransferWorker(const TransferWorker&) = delete;
    TransferWorker& operator=(const TransferWorker&) = delete;
    // Does not wait for a transfer that a device holds up: the thread is
    // left to finish it on its own.
    ~TransferWorker();

    std::shared_ptr<Transfer> Start(std::vector<uint8_t> report, Job job);

  private:
    struct Queue;
    std::shared_ptr<Queue> queue_;
};
