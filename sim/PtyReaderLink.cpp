#include "PtyReaderLink.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

PtyReaderLink::PtyReaderLink() = default;

PtyReaderLink::~PtyReaderLink() {
    Stop();
}

bool PtyReaderLink::Start() {
    char name[256] = {};
    termios raw{};
    ::cfmakeraw(&raw);
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
        return false;
    }
    // The reader keeps its own hold on the terminal, so that the utility
    // can close and open it again without the line hanging up.
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    path_ = name;
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    stop_ = false;
    hangup_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void PtyReaderLink::Stop() {
    if (thread_.joinable()) {
        {
            // Under the pause's lock, so that a pause about to begin sees it.
            std::lock_guard<std::mutex> lock(pauseLock_);
            stop_ = true;
        }
        pauseEnd_.notify_all();
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake_, &one, sizeof one);
        thread_.join();
    }
    CloseTerminal();
    if (wake_ >= 0) {
        ::close(wake_);
        wake_ = -1;
    }
}

void PtyReaderLink::Hangup() {
    // The reader's thread lets go of the terminal: the utility's side then
    // sees the line hang up.
    hangup_ = true;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_, &one, sizeof one);
}

void PtyReaderLink::CloseTerminal() {
    std::lock_guard<std::mutex> lock(writeLock_);
    for (int* fd : {&master_, &slave_}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

void PtyReaderLink::SetTiming(Timing timing) {
    std::lock_guard<std::mutex> lock(modelLock_);
    timing_ = timing;
}

PtyReaderLink::Timing PtyReaderLink::CurrentTiming() const {
    std::lock_guard<std::mutex> lock(modelLock_);
    return timing_;
}

std::vector<std::vector<uint8_t>> PtyReaderLink::ReceivedFrames() const {
    std::lock_guard<std::mutex> lock(modelLock_);
    return received_;
}

void PtyReaderLink::Send(std::span<const uint8_t> bytes) {
    WriteAll(bytes);
}

void PtyReaderLink::WriteAll(std::span<const uint8_t> bytes) {
    std::lock_guard<std::mutex> lock(writeLock_);
    size_t done = 0;
    while (done < bytes.size() && master_ >= 0) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            return;
        }
    }
}

void PtyReaderLink::Reply(const std::vector<uint8_t>& reply) {
    Timing timing;
    {
        std::lock_guard<std::mutex> lock(modelLock_);
        timing = timing_;
    }
    if (timing.replyDelayMs > 0 && !Pause(timing.replyDelayMs)) {
        return;
    }
    if (timing.splitPauseMs > 0 && reply.size() > 1) {
        const size_t half = reply.size() / 2;
        WriteAll(std::span(reply).first(half));
        if (Pause(timing.splitPauseMs)) {
            WriteAll(std::span(reply).subspan(half));
        }
        return;
    }
    WriteAll(reply);
}

bool PtyReaderLink::Pause(int ms) {
    // Only Stop ends a pause early; a hang-up is seen once the reply in hand
    // is out.
    std::unique_lock<std::mutex> lock(pauseLock_);
    return !pauseEnd_.wait_for(lock, std::chrono::milliseconds(ms),
                               [this] { return stop_.load(); });
}

void PtyReaderLink::Run() {
    uint8_t buffer[256];
    while (!stop_) {
        pollfd waits[2] = {{wake_, POLLIN, 0}, {master_, POLLIN, 0}};
        // master_ changes only on this thread, so it may be read unlocked here.
        if (::poll(waits, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if (stop_) {
            return;
        }
        if (hangup_) {
            CloseTerminal();
            return;
        }
        if ((waits[1].revents & POLLIN) == 0) {
            // Nobody has the terminal open: wait a moment for the utility.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            continue;
        }
        std::vector<std::vector<uint8_t>> replies;
        {
            std::lock_guard<std::mutex> lock(modelLock_);
            for (auto& frame : assembler_.Add(std::span(buffer, static_cast<size_t>(n)))) {
                replies.push_back(model_.HandleFrame(frame));
                received_.push_back(std::move(frame));
            }
        }
        for (const auto& reply : replies) {
            if (!reply.empty()) {
                Reply(reply);
            }
        }
    }
}
