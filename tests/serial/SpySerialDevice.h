#pragma once

#include <atomic>
#include <cerrno>
#include <climits>
#include <string>
#include <vector>

#include "platform/serial/SerialDevice.h"

// The setting steps of opening a port, as the device names them, and the
// operation each is reported as when it fails.
struct SettingStep {
    const char* step;
    const char* operation;
};
inline constexpr SettingStep kSettingSteps[] = {{"timeouts", "SetCommTimeouts()"},
                                                {"mask", "SetCommMask()"},
                                                {"get", "GetCommState()"},
                                                {"set", "SetCommState()"}};

// The real device with a record of its calls, and a step that can be made
// to fail.
class SpySerialDevice : public PosixSerialDevice {
  public:
    std::vector<std::string>* calls = nullptr;
    std::string failing;  // the operation that fails with EIO
    // Hands out a descriptor that is not open as the one to wait on.
    bool badPollHandle = false;

    // The monitor thread asks for the handle once for each wait on the line
    // it begins, and for the queued input at each wake-up of the line and
    // before each byte it reads.
    mutable std::atomic<int> waitsBegun{0};
    std::atomic<int> queuedInputChecks{0};

    int PollHandle() const override {
        ++waitsBegun;
        return badPollHandle ? INT_MAX : PosixSerialDevice::PollHandle();
    }
    int QueuedInput(int& count) override {
        ++queuedInputChecks;
        return PosixSerialDevice::QueuedInput(count);
    }

    int SetTimeouts(const SerialTimeouts& t) override {
        return Step("timeouts", [&] { return PosixSerialDevice::SetTimeouts(t); });
    }
    int SetEventMask(uint32_t mask) override {
        return Step("mask", [&] { return PosixSerialDevice::SetEventMask(mask); });
    }
    int GetLineSettings(LineSettings& s) override {
        return Step("get", [&] { return PosixSerialDevice::GetLineSettings(s); });
    }
    int SetLineSettings(const LineSettings& s) override {
        lastLine = s;
        return Step("set", [&] { return PosixSerialDevice::SetLineSettings(s); });
    }
    int Purge() override {
        return Step("purge", [&] { return PosixSerialDevice::Purge(); });
    }
    int Write(std::span<const uint8_t> bytes) override {
        return Step("write", [&] { return PosixSerialDevice::Write(bytes); });
    }

    LineSettings lastLine;

  private:
    template <typename F>
    int Step(const std::string& name, F real) {
        if (calls != nullptr) {
            calls->push_back(name);
        }
        return name == failing ? EIO : real();
    }
};
