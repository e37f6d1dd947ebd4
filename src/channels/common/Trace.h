#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

// The trace of what goes over the wire: every frame and report sent and
// received, in hex, and the connection's events, one line each behind a
// time stamp with milliseconds. Off unless switched on; any thread may
// write (the serial monitor and the USB transfer thread do).
void SetTraceEnabled(bool enabled);
bool TraceEnabled();

// Where the lines go; without one (the default), standard error. Gets a
// whole line, its newline included, one call at a time.
using TraceWriter = std::function<void(std::string_view line)>;
void SetTraceWriter(TraceWriter writer);

// "HH:MM:SS.mmm channel direction what: XX XX ...": the direction is left
// out when empty, the colon and the bytes when there are none.
void Trace(std::string_view channel, std::string_view direction, std::string_view what,
           std::span<const uint8_t> bytes = {});

// The parts of a line, for whoever checks them.
std::string TraceStamp(std::chrono::system_clock::time_point when);
std::string TraceBody(std::string_view channel, std::string_view direction, std::string_view what,
                      std::span<const uint8_t> bytes);
