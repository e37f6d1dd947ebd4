#include "PtyReaderLink.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

// How long a waiting Send sleeps before it looks for Stop and Hangup again.
constexpr int kRoomWaitMs = 100;

}  // namespace

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
    // can close and open it again without the line hanging up, and so that
    // it can clear the exclusive flag the utility leaves behind.
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    // No write may wait for a program that does not read.
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    path_ = name;
    // The kernel keeps the exclusive flag for as long as this end is open,
    // long after the program that set it is gone: the opens and closes of
    // the path tell when the last program has let go of the line.
    openings_ = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (openings_ >= 0 && ::inotify_add_watch(openings_, name, IN_OPEN | IN_CLOSE) < 0) {
        ::close(openings_);
        openings_ = -1;
    }
    openers_ = 0;
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
    for (int* fd : {&wake_, &openings_}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
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
    return {received_.begin(), received_.end()};
}

PtyReaderLink::LineCounts PtyReaderLink::Counts() const {
    return {sent_.load(), dropped_.load()};
}

void PtyReaderLink::Send(std::span<const uint8_t> bytes) {
    WriteAll(bytes);
}

void PtyReaderLink::WriteAll(std::span<const uint8_t> bytes) {
    std::lock_guard<std::mutex> lock(writeLock_);
    size_t done = 0;
    while (done < bytes.size() && master_ >= 0 && !stop_ && !hangup_) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, kRoomWaitMs);
        } else {
            break;
        }
    }
    sent_ += done;
    dropped_ += bytes.size() - done;
}

size_t PtyReaderLink::Offer(std::span<const uint8_t> bytes) {
    std::lock_guard<std::mutex> lock(writeLock_);
    size_t done = 0;
    while (done < bytes.size() && master_ >= 0) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;  // the line is full, or gone
        }
    }
    sent_ += done;
    dropped_ += bytes.size() - done;
    return done;
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
        Offer(std::span(reply).first(half));
        if (Pause(timing.splitPauseMs)) {
            Offer(std::span(reply).subspan(half));
        }
        return;
    }
    Offer(reply);
}

bool PtyReaderLink::Pause(int ms) {
    // Only Stop ends a pause early; a hang-up is seen once the reply in hand
    // is out.
    std::unique_lock<std::mutex> lock(pauseLock_);
    return !pauseEnd_.wait_for(lock, std::chrono::milliseconds(ms),
                               [this] { return stop_.load(); });
}

void PtyReaderLink::CountOpeners() {
    // Room for many events a read: each is a header and, for a watched
    // file, no name.
    alignas(inotify_event) char buffer[64 * sizeof(inotify_event)];
    bool lastClosed = false;
    ssize_t n = 0;
    while ((n = ::read(openings_, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if ((event->mask & IN_Q_OVERFLOW) != 0) {
                // The count is lost: the line is let go rather than kept
                // locked for good.
                openers_ = 0;
                lastClosed = true;
            } else if ((event->mask & IN_OPEN) != 0) {
                ++openers_;
            } else if ((event->mask & IN_CLOSE) != 0 && openers_ > 0) {
                lastClosed = --openers_ == 0;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (lastClosed && openers_ == 0) {
        ::ioctl(slave_, TIOCNXCL);
    }
}

void PtyReaderLink::TakeFrames(std::span<const uint8_t> bytes) {
    std::vector<std::vector<uint8_t>> replies;
    {
        std::lock_guard<std::mutex> lock(modelLock_);
        for (auto& frame : assembler_.Add(bytes)) {
            replies.push_back(model_.HandleFrame(frame));
            received_.push_back(std::move(frame));
            if (received_.size() > kKeptFrames) {
                received_.pop_front();
            }
        }
    }
    for (const auto& reply : replies) {
        if (!reply.empty()) {
            Reply(reply);
        }
    }
}

void PtyReaderLink::Run() {
    uint8_t buffer[256];
    while (!stop_) {
        // The descriptors change only on this thread, so they may be read
        // unlocked here.
        pollfd waits[3] = {{wake_, POLLIN, 0}, {master_, POLLIN, 0}, {openings_, POLLIN, 0}};
        if (::poll(waits, 3, -1) < 0 && errno != EINTR) {
            return;
        }
        if (stop_) {
            return;
        }
        if (hangup_) {
            CloseTerminal();
            return;
        }
        if ((waits[2].revents & POLLIN) != 0) {
            CountOpeners();
        }
        if ((waits[1].revents & POLLIN) == 0) {
            if ((waits[1].revents & (POLLHUP | POLLERR)) != 0) {
                // Nobody has the terminal open: wait a moment for the utility.
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            continue;
        }
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            TakeFrames(std::span(buffer, static_cast<size_t>(n)));
        }
    }
}
