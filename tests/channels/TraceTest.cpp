#include "channels/common/Trace.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "TraceCapture.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(Trace, ABodyNamesTheChannelTheDirectionWhatAndTheBytesInHex) {
    const struct {
        const char* channel;
        const char* direction;
        const char* what;
        Bytes bytes;
        const char* body;
    } cases[] = {
        {"usb /dev/hidraw3",
         "->",
         "feature report (4)",
         {0x00, 0x1B, 0x52, 0x00},
         "usb /dev/hidraw3 -> feature report (4): 00 1B 52 00"},
        {"serial /dev/ttyS0",
         "<-",
         "3 bytes",
         {0x30, 0xC3, 0xFF},
         "serial /dev/ttyS0 <- 3 bytes: 30 C3 FF"},
        {"serial /dev/ttyS0", "", "opened", {}, "serial /dev/ttyS0 opened"},
        {"usb /dev/hidraw0", "", "reader found", {}, "usb /dev/hidraw0 reader found"},
        {"serial /dev/pts/4", "->", "1 bytes", {0x0A}, "serial /dev/pts/4 -> 1 bytes: 0A"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TraceBody(c.channel, c.direction, c.what, c.bytes), c.body);
    }
}

TEST(Trace, TheStampIsTheTimeOfDayWithMilliseconds) {
    using namespace std::chrono;
    const std::regex shape(R"(\d\d:\d\d:\d\d\.\d\d\d)");
    const struct {
        int64_t millisSinceEpoch;
        const char* millis;
    } cases[] = {{1'700'000'000'000, ".000"},
                 {1'700'000'000'007, ".007"},
                 {1'700'000'000'789, ".789"},
                 {1'700'000'059'999, ".999"}};
    for (const auto& c : cases) {
        const std::string stamp =
            TraceStamp(system_clock::time_point(milliseconds(c.millisSinceEpoch)));
        EXPECT_TRUE(std::regex_match(stamp, shape)) << stamp;
        EXPECT_EQ(stamp.substr(8), c.millis);
    }
}

TEST(Trace, WritesWholeLinesOnlyWhenSwitchedOn) {
    const Bytes frame = {0x1B, 0x52};
    Trace("serial /dev/x", "->", "2 bytes", frame);  // off: nobody sees it
    TraceCapture capture;
    Trace("serial /dev/x", "->", "2 bytes", frame);
    // Threads writing at once never mix their lines.
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([] {
            const Bytes bytes(40, 0xAB);
            for (int i = 0; i < 50; ++i) {
                Trace("usb /dev/hidraw1", "<-", "input report (40)", bytes);
            }
        });
    }
    for (std::thread& w : writers) {
        w.join();
    }
    const std::vector<std::string> lines = capture.Lines();
    ASSERT_EQ(lines.size(), 201u);
    EXPECT_TRUE(std::regex_match(
        lines[0], std::regex(R"(\d\d:\d\d:\d\d\.\d\d\d serial /dev/x -> 2 bytes: 1B 52\n)")))
        << lines[0];
    const std::string expected =
        TraceBody("usb /dev/hidraw1", "<-", "input report (40)", Bytes(40, 0xAB)) + "\n";
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].substr(13), expected);
    }
}

}  // namespace
