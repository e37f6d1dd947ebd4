#pragma once

#include <cstdint>
#include <span>
#include <string>

inline constexpr uint32_t kEventRxChar = 0x0001;
inline constexpr uint32_t kEventCts = 0x0008;

// Line settings of a serial port: speed, framing and the RTS line.
struct LineSettings {
    int baud = 0;
    char parity = 'N';  // 'N', 'E', 'O', 'M' or 'S'
    int dataBits = 8;
    int stopBits = 1;
    bool rtsOn = false;
};

// The five time-outs of a serial port, in milliseconds.
struct SerialTimeouts {
    uint32_t readInterval = 0;
    uint32_t readTotalMultiplier = 0;
    uint32_t readTotalConstant = 0;
    uint32_t writeTotalMultiplier = 0;
    uint32_t writeTotalConstant = 0;
};

// One serial device. Every operation returns 0 or the errno value of the
// system call that failed.
class SerialDevice {
  public:
    virtual ~SerialDevice() = default;

    // Opens the device for reading and writing, for this program alone.
    virtual int Open(const std::string& path) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The descriptor to wait on for input; -1 when closed.
    virtual int PollHandle() const = 0;

    virtual int SetTimeouts(const SerialTimeouts& timeouts) = 0;
    // The events the port reports: received characters, CTS changes.
    virtual int SetEventMask(uint32_t mask) = 0;
    virtual int GetLineSettings(LineSettings& settings) = 0;
    virtual int SetLineSettings(const LineSettings& settings) = 0;
    // Drops every byte queued in either direction.
    virtual int Purge() = 0;
    virtual int QueuedInput(int& count) = 0;
    virtual int ReadByte(uint8_t& byte) = 0;
    // Writes all bytes, waiting at most the write time-outs.
    virtual int Write(std::span<const uint8_t> bytes) = 0;
};

// The device behind a tty on this machine.
class PosixSerialDevice : public SerialDevice {
  public:
    PosixSerialDevice() = default;
    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;
    ~PosixSerialDevice() override;

    int Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    int PollHandle() const override { return fd_; }

    int SetTimeouts(const SerialTimeouts& timeouts) override;
    int SetEventMask(uint32_t mask) override;
    int GetLineSettings(LineSettings& settings) override;
    int SetLineSettings(const LineSettings& settings) override;
    int Purge() override;
    int QueuedInput(int& count) override;
    int ReadByte(uint8_t& byte) override;
    int Write(std::span<const uint8_t> bytes) override;

  private:
    int fd_ = -1;
    SerialTimeouts timeouts_;
};
