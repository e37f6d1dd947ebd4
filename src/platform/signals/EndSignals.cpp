#include "platform/signals/EndSignals.h"

#include <fcntl.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace {

constexpr std::array<int, 3> kEndSignals = {SIGINT, SIGTERM, SIGHUP};

// One set of handlers serves the process: the pipe's ends and the first
// signal seen are what the handler may touch.
std::atomic<int> gReceived{0};
int gPipe[2] = {-1, -1};
std::array<struct sigaction, kEndSignals.size()> gPrevious{};

void OnSignal(int signal) {
    int expected = 0;
    if (!gReceived.compare_exchange_strong(expected, signal)) {
        // Asked again while ending: end now, as the signal would have.
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(gPipe[1], &number, 1);
    errno = saved;
}

}  // namespace

EndSignals::EndSignals(Handler handler) : handler_(std::move(handler)) {
    gReceived = 0;
    if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;  // the signals keep their usual actions
    }
    notifier_ = std::make_unique<QSocketNotifier>(gPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { Deliver(); });
    for (size_t i = 0; i < kEndSignals.size(); ++i) {
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        // No SA_RESTART: a blocking call that the signal interrupts returns,
        // so that the program gets back to its loop.
        action.sa_flags = 0;
        ::sigaction(kEndSignals[i], &action, &gPrevious[i]);
    }
}

EndSignals::~EndSignals() {
    if (!notifier_) {
        return;
    }
    for (size_t i = 0; i < kEndSignals.size(); ++i) {
        ::sigaction(kEndSignals[i], &gPrevious[i], nullptr);
    }
    notifier_.reset();
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
}

int EndSignals::Received() {
    return gReceived;
}

const char* EndSignals::NameOf(int signal) {
    switch (signal) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "a signal";
    }
}

void EndSignals::Deliver() {
    unsigned char number = 0;
    while (::read(gPipe[0], &number, 1) == 1) {
    }
    if (gReceived != 0 && handler_) {
        handler_(gReceived);
    }
}
