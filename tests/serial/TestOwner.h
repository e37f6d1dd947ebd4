#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "channels/serial/SerialPort.h"

// A serial port's owner on the test's thread: it takes the port's
// hand-overs only while the test pumps.
class TestOwner : public SerialOwner {
  public:
    struct Message {
        int message;
        int wParam;
        int lParam;
    };

    void OnSerialMessage(int message, int wParam, int lParam) override {
        messages.push_back({message, wParam, lParam});
    }

    void WakeOwner(std::function<void()> serve) override {
        std::lock_guard<std::mutex> lock(lock_);
        queue_.push_back(std::move(serve));
        wake_.notify_all();
    }

    // Serves hand-overs until done() holds or the time is up.
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            std::function<void()> serve;
            {
                std::unique_lock<std::mutex> lock(lock_);
                if (!wake_.wait_until(lock, end, [this] { return !queue_.empty(); })) {
                    return done();
                }
                serve = std::move(queue_.front());
                queue_.pop_front();
            }
            serve();
        }
        return true;
    }

    // Runs every wake-up queued so far.
    void Drain() {
        for (;;) {
            std::function<void()> serve;
            {
                std::lock_guard<std::mutex> lock(lock_);
                if (queue_.empty()) {
                    return;
                }
                serve = std::move(queue_.front());
                queue_.pop_front();
            }
            serve();
        }
    }

    std::vector<int> Bytes() const {
        std::vector<int> bytes;
        for (const Message& m : messages) {
            if (m.message == kSerialByteMessage) {
                bytes.push_back(m.wParam);
            }
        }
        return bytes;
    }

    std::vector<Message> messages;

  private:
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
};
