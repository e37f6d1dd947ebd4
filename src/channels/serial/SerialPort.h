#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "SerialDevice.h"

// Messages the port sends its owner: a received byte (the byte, the port
// number) and a comm event that may be a CTS change (0, the port number).
inline constexpr int kSerialByteMessage = 0x0400 + 7;
inline constexpr int kSerialCtsMessage = 0x0400 + 2;

// The window a serial port reports to.
class SerialOwner {
  public:
    virtual ~SerialOwner() = default;
    // Runs on the owner's thread.
    virtual void OnSerialMessage(int message, int wParam, int lParam) = 0;
    // Called on the monitor thread: have the owner's thread call serve soon.
    virtual void WakeOwner(std::function<void()> serve) = 0;
};

// The serial line to a reader. One monitor thread waits for the shut-down
// request, input and write requests, in that priority; it reads the input
// one byte at a time and hands each byte to the owner's thread, waiting
// until the owner has handled it; it also carries out the writes.
class SerialPort {
  public:
    explicit SerialPort(std::unique_ptr<SerialDevice> device = nullptr);
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    virtual ~SerialPort();

    // Opens "COM<portNumber>" and sets its line. True when the port was
    // opened, even if a later setting failed (that failure is reported).
    bool OpenPort(SerialOwner* owner, int portNumber, int baud, char parity, int dataBits,
                  int stopBits, uint32_t eventMask, uint32_t writeBufferSize);
    bool StartMonitor();
    // Hands bytes to the monitor thread to write after a purge; returns at once.
    void RequestWrite(std::span<const uint8_t> bytes);
    // Ends the monitor thread, serving the owner's pending hand-over while
    // it waits, releases the write buffer and closes the port.
    void Shutdown();

    // Shows the text of a failed operation; runs on the owner's thread.
    void SetFailureReporter(std::function<void(const std::string&)> reporter);

    bool MonitorAlive() const { return monitorAlive_.load(); }
    bool IsOpen() const;

    // The device of "COM<n>": $TALLISK_COM<n> when set, else /dev/ttyS<n-1>.
    static std::string DevicePathFor(int portNumber);
    static std::string FailureText(const std::string& operation, int error, int portNumber);

  private:
    void MonitorLoop();
    void ReadAvailable();
    void WritePending();
    void ReportFailure(const char* operation, int error, bool onMonitorThread);

    void SignalShutdown();
    void EndMonitor();
    void CloseEvents();
    // Monitor thread: runs job on the owner's thread and waits for it.
    void SendToOwner(std::function<void()> job);
    // Owner thread: runs the job that the monitor thread waits on, if any.
    void ServeHandOver();

    std::unique_ptr<SerialDevice> device_;
    std::mutex portLock_;
    std::atomic<bool> monitorAlive_{false};
    std::atomic<bool> stopRequested_{false};
    std::thread monitor_;
    int shutdownEvent_ = -1;
    int writeEvent_ = -1;
    bool portHungUp_ = false;  // monitor thread only

    SerialOwner* owner_ = nullptr;
    int portNumber_ = 0;
    uint32_t eventMask_ = 0;
    std::function<void(const std::string&)> reportFailure_;

    std::mutex writeLock_;
    std::vector<uint8_t> writeBuffer_;
    size_t writeLength_ = 0;

    enum class HandOver { None, Pending, Running };
    std::mutex handOverLock_;
    std::condition_variable handOverDone_;
    HandOver handOver_ = HandOver::None;
    std::function<void()> handOverJob_;
};
