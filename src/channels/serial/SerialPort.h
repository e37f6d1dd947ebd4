#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial/SerialDevice.h"

class OwnerMailbox;

// The serial line to a reader. One monitor thread waits for the shut-down
// request, input and write requests, in that priority; it reads the input
// one byte at a time and hands each byte to the owner's thread (the thread
// that made the port), waiting until the owner has handled it; it also
// carries out the writes.
class SerialPort {
  public:
    // Called on the monitor thread: has the owner's thread run job soon.
    using Post = std::function<void(std::function<void()> job)>;

    // Without post the port hands over through a mailbox of its own, served
    // by the Qt event loop of the thread that makes the port; a post given
    // here replaces it (tests serve the hand-overs when they choose).
    explicit SerialPort(std::unique_ptr<SerialDevice> device = nullptr, Post post = nullptr);
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    virtual ~SerialPort();

    // Opens "COM<portNumber>" and sets its line. True when the port was
    // opened, even if a later setting failed (that failure is reported).
    bool OpenPort(int portNumber, int baud, char parity, int dataBits, int stopBits,
                  uint32_t eventMask, uint32_t writeBufferSize);
    bool StartMonitor();
    // Hands bytes to the monitor thread to write after a purge; returns at once.
    void RequestWrite(std::span<const uint8_t> bytes);
    // Ends the monitor thread, serving the owner's pending hand-over while
    // it waits, releases the write buffer and closes the port.
    void Shutdown();

    // Shows the text of a failed operation; runs on the owner's thread.
    // Without closed (a failure while opening, on the owner's own thread)
    // it returns once the text has been dismissed. With closed (a failure
    // on the monitor thread) it returns at once and calls closed, on the
    // owner's thread, when the text is dismissed; the monitor thread waits
    // for that, or for the shut-down request. closed may outlive the port.
    using FailureReporter =
        std::function<void(const std::string& text, std::function<void()> closed)>;
    void SetFailureReporter(FailureReporter reporter);

    // What the owner does with each received byte; runs on the owner's
    // thread, and is set there.
    using ByteHandler = std::function<void(uint8_t byte)>;
    void SetByteHandler(ByteHandler handler);
    // Owner's thread: hands byte to the byte handler. A received byte's
    // hand-over runs this; so may whatever delivers a byte as the line would.
    void DeliverByte(uint8_t byte);
    // A comm event that may be a CTS change, handed over before the bytes it
    // brought; runs on the owner's thread. Without one (the default) such
    // events are not handed over. Looked at when the monitor starts.
    void SetCommEventHandler(std::function<void()> handler);

    bool MonitorAlive() const { return monitorAlive_.load(); }
    bool IsOpen() const;
    // The device the last opening tried, and the errno value its opening
    // failed with (0 when it opened).
    const std::string& DevicePath() const { return path_; }
    int OpenError() const { return openError_; }

    // The device of "COM<n>": $TALLISK_COM<n> when set, else /dev/ttyS<n-1>.
    static std::string DevicePathFor(int portNumber);
    static std::string FailureText(const std::string& operation, int error, int portNumber);

  private:
    // Something the monitor thread waits for besides the line: a box to be
    // closed, or a pause. Shared with whoever ends it, who may outlive the
    // port; the shut-down request ends every wait.
    struct MonitorWait;

    void MonitorLoop();
    void ReadAvailable();
    // Reads what is queued, handing each byte over; keeps them in got when
    // got is given.
    void ReadQueued(std::vector<uint8_t>* got);
    void WritePending();
    // Monitor thread: stops waiting on the line, which would only wake it
    // again, and reports why; shut-down and write requests are still served.
    void GiveUpLine(const char* operation, int error);
    void ReportFailure(const char* operation, int error, bool onMonitorThread);
    // Monitor thread: returns when wait is ended, when shut-down is
    // requested, or after limit (0: no limit).
    void WaitUnlessStopped(const std::shared_ptr<MonitorWait>& wait,
                           std::chrono::milliseconds limit = std::chrono::milliseconds(0));

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
    // Monitor thread only, reset by each opening: the line is no longer
    // waited on (it hung up or failed); a failed wait was reported.
    bool lineGivenUp_ = false;
    bool waitFailureReported_ = false;
    // The wait the monitor thread is in, for the shut-down request to end.
    std::mutex monitorWaitLock_;
    std::shared_ptr<MonitorWait> monitorWait_;

    // The port's own mailbox, when no post was given.
    std::unique_ptr<OwnerMailbox> mailbox_;
    Post post_;
    int portNumber_ = 0;
    std::string path_;
    int openError_ = 0;
    uint32_t eventMask_ = 0;
    FailureReporter reportFailure_;
    ByteHandler byteHandler_;
    std::function<void()> commEventHandler_;
    // Set before the monitor starts: comm events are handed over.
    bool handCommEvents_ = false;

    std::mutex writeLock_;
    std::vector<uint8_t> writeBuffer_;
    size_t writeLength_ = 0;

    enum class HandOver { None, Pending, Running };
    std::mutex handOverLock_;
    std::condition_variable handOverDone_;
    HandOver handOver_ = HandOver::None;
    std::function<void()> handOverJob_;
};
