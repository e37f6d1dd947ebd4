#include "CommandInput.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

// A pipe or a terminal that polls writable takes this much without waiting.
constexpr size_t kOutputPiece = 512;

bool RoomNow() {
    pollfd room{STDOUT_FILENO, POLLOUT, 0};
    return ::poll(&room, 1, 0) == 1 && (room.revents & POLLOUT) != 0;
}

}  // namespace

CommandInput::~CommandInput() {
    if (signals_ >= 0) {
        ::close(signals_);
    }
}

bool CommandInput::Open() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    if (::pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) {
        return false;
    }
    signals_ = ::signalfd(-1, &set, SFD_CLOEXEC);
    return signals_ >= 0;
}

bool CommandInput::WaitFor(int fd, short events) {
    while (!signalled_) {
        pollfd waits[2] = {{signals_, POLLIN, 0}, {fd, events, 0}};
        if (::poll(waits, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            signalled_ = true;  // nothing left to wait on
            break;
        }
        if ((waits[0].revents & POLLIN) != 0) {
            signalfd_siginfo info{};
            if (::read(signals_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
                signal_ = static_cast<int>(info.ssi_signo);
            }
            signalled_ = true;
            break;
        }
        if (waits[1].revents != 0) {
            return true;
        }
    }
    return false;
}

CommandInput::Found CommandInput::TakeLine(std::string& line) {
    const size_t end = pending_.find('\n', scanned_);
    if (end == pending_.npos) {
        scanned_ = pending_.size();
        if (pending_.size() - start_ > kLongestLine) {
            // Refused now rather than kept until its end, however long it is.
            pending_.clear();
            start_ = scanned_ = 0;
            skipping_ = true;
            return Found::TooLong;
        }
        return Found::Nothing;
    }
    const Found found = end - start_ > kLongestLine ? Found::TooLong : Found::Line;
    if (found == Found::Line) {
        line.assign(pending_, start_, end - start_);
    }
    start_ = scanned_ = end + 1;
    return found;
}

void CommandInput::ReadMore() {
    // Only what is left is kept: each byte is moved once, however the input
    // is cut into lines.
    pending_.erase(0, start_);
    scanned_ -= start_;
    start_ = 0;
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
        // The end of the input, or an input that can no longer be read.
        open_ = false;
        return;
    }
    if (n < 0) {
        return;
    }
    std::string_view bytes(buffer, static_cast<size_t>(n));
    if (skipping_) {
        const size_t end = bytes.find('\n');
        if (end == bytes.npos) {
            return;
        }
        skipping_ = false;
        bytes.remove_prefix(end + 1);
    }
    pending_.append(bytes);
}

CommandInput::Event CommandInput::Next(std::string& line) {
    while (!signalled_) {
        switch (TakeLine(line)) {
            case Found::Line:
                return Event::Line;
            case Found::TooLong:
                return Event::TooLong;
            case Found::Nothing:
                break;
        }
        if (!open_ && start_ < pending_.size()) {
            line.assign(pending_, start_);
            pending_.clear();
            start_ = scanned_ = 0;
            return Event::Line;
        }
        if (!open_ && !toldClosed_) {
            toldClosed_ = true;
            return Event::Closed;
        }
        if (!WaitFor(open_ ? STDIN_FILENO : -1, POLLIN)) {
            break;
        }
        ReadMore();
    }
    return Event::Stop;
}

bool CommandInput::Print(std::string_view text, bool wait) {
    while (!text.empty()) {
        if (!(wait ? WaitFor(STDOUT_FILENO, POLLOUT) : RoomNow())) {
            return false;
        }
        const ssize_t n = ::write(STDOUT_FILENO, text.data(), std::min(text.size(), kOutputPiece));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}
