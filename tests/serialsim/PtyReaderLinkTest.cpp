// The simulated reader's end of the line when the program on the other end
// floods it or does not read: the reader neither waits for it nor grows.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "PtyReaderLink.h"
#include "ReaderModel.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A guard only, so that a hung reader fails the test instead of hanging it.
constexpr int kGuardMs = 30000;

// The line as the utility opens it, raw.
int OpenLine(const PtyReaderLink& link) {
    const int fd = ::open(link.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
    return fd;
}

template <typename Done>
bool WaitFor(Done done) {
    for (int waited = 0; waited < kGuardMs; waited += 5) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

TEST(PtyReaderLink, AFloodOfCommandsFromAProgramThatDoesNotReadKeepsTheReaderBounded) {
    PtyReaderLink link;
    ASSERT_TRUE(link.Start());
    const int line = OpenLine(link);
    ASSERT_GE(line, 0);
    // Each ESC 'R' is answered with the configuration, which nobody reads.
    constexpr size_t kFrames = 3 * PtyReaderLink::kKeptFrames;
    Bytes flood;
    for (size_t i = 0; i < kFrames; ++i) {
        flood.insert(flood.end(), {0x1B, 'R'});
    }
    ASSERT_EQ(::write(line, flood.data(), flood.size()), static_cast<ssize_t>(flood.size()));
    const uint64_t replies = kFrames * ReaderModel::DefaultConfig().size();
    EXPECT_TRUE(WaitFor([&] {
        const PtyReaderLink::LineCounts c = link.Counts();
        return c.sent + c.dropped == replies;
    })) << "every reply is sent or dropped, none waits";
    EXPECT_GT(link.Counts().dropped, 0U);
    const auto frames = link.ReceivedFrames();
    EXPECT_EQ(frames.size(), PtyReaderLink::kKeptFrames);
    EXPECT_EQ(frames.back(), (Bytes{0x1B, 'R'}));
    // What the line took is still there to read, whole replies first.
    uint8_t first[24] = {};
    pollfd p{line, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, kGuardMs), 1);
    ASSERT_EQ(::read(line, first, sizeof first), static_cast<ssize_t>(sizeof first));
    const ConfigBlock config = ReaderModel::DefaultConfig();
    EXPECT_EQ(Bytes(first, first + sizeof first), Bytes(config.begin(), config.end()));
    ::close(line);
    link.Stop();
}

TEST(PtyReaderLink, OfferTakesWhatTheLineTakesAndStopEndsASendThatWaitsForRoom) {
    PtyReaderLink link;
    ASSERT_TRUE(link.Start());
    // Nobody on the line: it fills, and takes little more (the terminal
    // moves bytes on in its own time).
    const Bytes flood(1 << 20, 'x');
    const size_t taken = link.Offer(flood);
    EXPECT_LT(taken, flood.size());
    const size_t more = link.Offer(flood);
    EXPECT_LT(more, flood.size());
    EXPECT_EQ(link.Counts().sent, taken + more);
    EXPECT_EQ(link.Counts().dropped, 2 * flood.size() - taken - more);
    std::atomic<bool> returned{false};
    std::thread sender([&] {
        link.Send(flood);
        returned = true;
    });
    link.Stop();
    EXPECT_TRUE(WaitFor([&] { return returned.load(); }));
    sender.join();
}

}  // namespace
