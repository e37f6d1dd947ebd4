#include "channels/common/Trace.h"

#include "protocol/HexText.h"

#include <atomic>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace {

std::atomic<bool> enabled{false};
std::mutex writerLock;
TraceWriter& Writer() {
    static TraceWriter writer;
    return writer;
}

}  // namespace

void SetTraceEnabled(bool on) {
    enabled.store(on, std::memory_order_relaxed);
}

bool TraceEnabled() {
    return enabled.load(std::memory_order_relaxed);
}

void SetTraceWriter(TraceWriter writer) {
    std::lock_guard<std::mutex> lock(writerLock);
    Writer() = std::move(writer);
}

std::string TraceStamp(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() %
        1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(millis < 0 ? millis + 1000 : millis));
    return text;
}

std::string TraceBody(std::string_view channel, std::string_view direction, std::string_view what,
                      std::span<const uint8_t> bytes) {
    std::string body(channel);
    for (const std::string_view part : {direction, what}) {
        if (!part.empty()) {
            body += ' ';
            body += part;
        }
    }
    if (!bytes.empty()) {
        body += ": " + HexBytes(bytes);
    }
    return body;
}

void Trace(std::string_view channel, std::string_view direction, std::string_view what,
           std::span<const uint8_t> bytes) {
    if (!TraceEnabled()) {
        return;
    }
    const std::string line = TraceStamp(std::chrono::system_clock::now()) + ' ' +
                             TraceBody(channel, direction, what, bytes) + '\n';
    // One line at a time, whichever thread writes.
    std::lock_guard<std::mutex> lock(writerLock);
    if (Writer()) {
        Writer()(line);
    } else {
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
}
