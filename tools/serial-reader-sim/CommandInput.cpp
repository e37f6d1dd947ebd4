#include "CommandInput.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>

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

bool CommandInput::TakeLine(std::string& line) {
    const size_t end = pending_.find('\n');
    if (end == pending_.npos) {
        return false;
    }
    line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    return true;
}

CommandInput::Event CommandInput::Next(std::string& line) {
    while (true) {
        if (TakeLine(line)) {
            return Event::Line;
        }
        if (!open_ && !pending_.empty()) {
            line = std::move(pending_);
            pending_.clear();
            return Event::Line;
        }
        if (!open_ && !toldClosed_) {
            toldClosed_ = true;
            return Event::Closed;
        }
        pollfd waits[2] = {{signals_, POLLIN, 0}, {open_ ? STDIN_FILENO : -1, POLLIN, 0}};
        if (::poll(waits, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Event::Stop;  // nothing left to wait on
        }
        if ((waits[0].revents & POLLIN) != 0) {
            signalfd_siginfo info{};
            if (::read(signals_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
                signal_ = static_cast<int>(info.ssi_signo);
            }
            return Event::Stop;
        }
        if (waits[1].revents == 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n > 0) {
            pending_.append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
            // The end of the input, or an input that can no longer be read.
            open_ = false;
        }
    }
}
