#include "channels/usb/TransferWorker.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Shared by the worker and its thread, so that a thread left running past
// the worker still has what it touches.
struct TransferWorker::Queue {
    std::mutex lock;
    std::condition_variable wake;
    std::deque<std::pair<std::shared_ptr<Transfer>, Job>> jobs;
    bool stop = false;
    bool busy = false;
    std::thread thread;

    static void Run(const std::shared_ptr<Queue>& queue) {
        std::unique_lock<std::mutex> held(queue->lock);
        for (;;) {
            queue->wake.wait(held, [&] { return queue->stop || !queue->jobs.empty(); });
            if (queue->stop) {
                return;
            }
            auto [transfer, job] = std::move(queue->jobs.front());
            queue->jobs.pop_front();
            queue->busy = true;
            held.unlock();
            transfer->result = job(transfer->report);
            job = nullptr;  // lets go of the device before the next wait
            transfer->done.store(true, std::memory_order_release);
            transfer.reset();
            held.lock();
            queue->busy = false;
        }
    }
};

TransferWorker::TransferWorker() : queue_(std::make_shared<Queue>()) {}

TransferWorker::~TransferWorker() {
    std::unique_lock<std::mutex> held(queue_->lock);
    queue_->stop = true;
    queue_->jobs.clear();
    const bool busy = queue_->busy;
    held.unlock();
    queue_->wake.notify_all();
    if (!queue_->thread.joinable()) {
        return;
    }
    if (busy) {
        queue_->thread.detach();
    } else {
        queue_->thread.join();
    }
}

std::shared_ptr<TransferWorker::Transfer> TransferWorker::Start(std::vector<uint8_t> report,
                                                                Job job) {
    auto transfer = std::make_shared<Transfer>();
    transfer->report = std::move(report);
    {
        std::lock_guard<std::mutex> held(queue_->lock);
        queue_->jobs.emplace_back(transfer, std::move(job));
        if (!queue_->thread.joinable()) {
            queue_->thread = std::thread(&Queue::Run, queue_);
        }
    }
    queue_->wake.notify_one();
    return transfer;
}
