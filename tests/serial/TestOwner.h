#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "channels/serial/SerialPort.h"

// A serial port's owner on the test's thread: its mailbox keeps the port's
// hand-overs until the test serves them, and it notes what they bring.
class TestOwner {
  public:
    enum class Kind { CommEvent, Byte };
    struct Message {
        Kind kind;
        int byte;  // of a Byte
    };

    // The post to make a port with: the hand-over waits here.
    SerialPort::Post Mailbox() {
        return [this](std::function<void()> serve) {
            std::lock_guard<std::mutex> lock(lock_);
            queue_.push_back(std::move(serve));
            wake_.notify_all();
        };
    }

    // Notes the port's bytes and comm events, in the order handed over.
    void Take(SerialPort& port) {
        port.SetByteHandler([this](uint8_t byte) { messages.push_back({Kind::Byte, byte}); });
        port.SetCommEventHandler([this] { messages.push_back({Kind::CommEvent, 0}); });
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
            if (m.kind == Kind::Byte) {
                bytes.push_back(m.byte);
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
