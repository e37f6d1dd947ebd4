#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "channels/common/Trace.h"

// The trace switched on and its lines kept, for as long as it lives.
class TraceCapture {
  public:
    TraceCapture() {
        SetTraceWriter([this](std::string_view line) {
            std::lock_guard<std::mutex> lock(lock_);
            lines_.emplace_back(line);
        });
        SetTraceEnabled(true);
    }
    ~TraceCapture() {
        SetTraceEnabled(false);
        SetTraceWriter(nullptr);
    }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    std::vector<std::string> Lines() {
        std::lock_guard<std::mutex> lock(lock_);
        return lines_;
    }
    // The lines without their time stamps and newlines.
    std::vector<std::string> Bodies() {
        std::vector<std::string> bodies;
        for (const std::string& line : Lines()) {
            const size_t space = line.find(' ');
            bodies.push_back(line.substr(space + 1, line.size() - space - 2));
        }
        return bodies;
    }

  private:
    std::mutex lock_;
    std::vector<std::string> lines_;
};
