#include "channels/serial/SerialPort.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "channels/common/Trace.h"
#include "channels/serial/LineDefinition.h"
#include "channels/serial/OwnerMailbox.h"

namespace {

constexpr uint32_t kTimeoutMs = 1000;
constexpr auto kShutdownPoll = std::chrono::milliseconds(1);
// A wait on the line that keeps failing is tried again this often, not
// at once, so that it does not keep a core busy.
constexpr auto kWaitRetry = std::chrono::milliseconds(100);

void Signal(int eventFd) {
    if (eventFd >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(eventFd, &one, sizeof one);
    }
}

void Reset(int eventFd) {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(eventFd, &count, sizeof count);
}

// The error a line that woke with nothing to read is reported with. A
// descriptor that is not open (POLLNVAL) is EBADF. A hang-up or an error
// condition (POLLHUP, POLLERR: an adapter pulled, a pseudo-terminal's
// other end closed) is EIO: poll() gives no error code of its own, and EIO
// is what the line's writes then fail with, and its reads on a
// pseudo-terminal.
int HangUpError(short revents) {
    return (revents & POLLNVAL) != 0 ? EBADF : EIO;
}

}  // namespace

struct SerialPort::MonitorWait {
    std::mutex lock;
    std::condition_variable changed;
    bool ended = false;

    void End() {
        {
            std::lock_guard<std::mutex> guard(lock);
            ended = true;
        }
        changed.notify_all();
    }
};

SerialPort::SerialPort(std::unique_ptr<SerialDevice> device, Post post)
    : device_(device ? std::move(device) : std::make_unique<PosixSerialDevice>()),
      post_(std::move(post)) {
    if (!post_) {
        mailbox_ = std::make_unique<OwnerMailbox>();
        post_ = [box = mailbox_.get()](std::function<void()> job) { box->Post(std::move(job)); };
    }
}

SerialPort::~SerialPort() {
    Shutdown();
    CloseEvents();
}

std::string SerialPort::DevicePathFor(int portNumber) {
    const std::string variable = "TALLISK_COM" + std::to_string(portNumber);
    if (const char* path = std::getenv(variable.c_str()); path != nullptr && *path != '\0') {
        return path;
    }
    return portNumber >= 1 ? "/dev/ttyS" + std::to_string(portNumber - 1) : std::string();
}

std::string SerialPort::FailureText(const std::string& operation, int error, int portNumber) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "WARNING:  %s Failed with the following error: \n%s\nPort: %d\n",
                  operation.c_str(), std::strerror(error), portNumber);
    return text;
}

void SerialPort::SetFailureReporter(FailureReporter reporter) {
    reportFailure_ = std::move(reporter);
}

void SerialPort::SetByteHandler(ByteHandler handler) {
    byteHandler_ = std::move(handler);
}

void SerialPort::DeliverByte(uint8_t byte) {
    if (byteHandler_) {
        byteHandler_(byte);
    }
}

void SerialPort::SetCommEventHandler(std::function<void()> handler) {
    commEventHandler_ = std::move(handler);
}

bool SerialPort::IsOpen() const {
    return device_->IsOpen();
}

bool SerialPort::OpenPort(int portNumber, int baud, char parity, int dataBits, int stopBits,
                          uint32_t eventMask, uint32_t writeBufferSize) {
    // A monitor left from an earlier opening ends first; no byte of it
    // reaches the owner after this returns.
    EndMonitor();

    CloseEvents();
    stopRequested_ = false;
    shutdownEvent_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    writeEvent_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);

    {
        std::lock_guard<std::mutex> lock(writeLock_);
        writeBuffer_.assign(writeBufferSize, 0);
        writeLength_ = 0;
    }
    portNumber_ = portNumber;
    eventMask_ = eventMask;

    std::lock_guard<std::mutex> lock(portLock_);
    device_->Close();
    lineGivenUp_ = false;
    waitFailureReported_ = false;
    const std::string definition = FormatLineDefinition(baud, parity, dataBits, stopBits);
    path_ = DevicePathFor(portNumber);
    openError_ = device_->Open(path_);
    if (openError_ != 0) {
        if (TraceEnabled()) {
            Trace("serial " + path_, "", std::string("not opened: ") + std::strerror(openError_));
        }
        return false;
    }
    if (TraceEnabled()) {
        Trace("serial " + path_, "", "opened");
    }
    // Each setting step that fails is reported and the rest are skipped;
    // the port stays open either way.
    [&] {
        const SerialTimeouts timeouts{kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs};
        if (const int e = device_->SetTimeouts(timeouts); e != 0) {
            return ReportFailure("SetCommTimeouts()", e, false);
        }
        if (const int e = device_->SetEventMask(eventMask); e != 0) {
            return ReportFailure("SetCommMask()", e, false);
        }
        LineSettings line;
        if (const int e = device_->GetLineSettings(line); e != 0) {
            return ReportFailure("GetCommState()", e, false);
        }
        line.rtsOn = true;
        if (!ParseLineDefinition(definition, line)) {
            return ReportFailure("BuildCommDCB()", EINVAL, false);
        }
        if (const int e = device_->SetLineSettings(line); e != 0) {
            return ReportFailure("SetCommState()", e, false);
        }
    }();
    device_->Purge();
    return true;
}

bool SerialPort::StartMonitor() {
    if (monitor_.joinable()) {
        EndMonitor();
    }
    // The monitor starts on an empty line; the purge is done here, before
    // the thread runs, so that nothing sent after this call is lost.
    {
        std::lock_guard<std::mutex> lock(portLock_);
        if (device_->IsOpen()) {
            device_->Purge();
        }
    }
    // Read by the monitor thread alone from here on; the handler itself is
    // called on the owner's thread.
    handCommEvents_ = static_cast<bool>(commEventHandler_);
    monitorAlive_ = true;
    monitor_ = std::thread([this] { MonitorLoop(); });
    return true;
}

void SerialPort::RequestWrite(std::span<const uint8_t> bytes) {
    {
        std::lock_guard<std::mutex> lock(writeLock_);
        if (writeBuffer_.empty()) {
            return;
        }
        writeLength_ = std::min(bytes.size(), writeBuffer_.size());
        std::copy_n(bytes.begin(), writeLength_, writeBuffer_.begin());
    }
    Signal(writeEvent_);
}

void SerialPort::Shutdown() {
    SignalShutdown();
    EndMonitor();
    {
        std::lock_guard<std::mutex> lock(writeLock_);
        writeBuffer_.clear();
        writeBuffer_.shrink_to_fit();
        writeLength_ = 0;
    }
    // Closed, so that another program can open the port once this one has
    // let it go.
    std::lock_guard<std::mutex> lock(portLock_);
    if (device_->IsOpen() && TraceEnabled()) {
        Trace("serial " + path_, "", "closed");
    }
    device_->Close();
}

void SerialPort::SignalShutdown() {
    stopRequested_ = true;
    Signal(shutdownEvent_);
    // The monitor may be waiting for a box that nobody closes now.
    std::shared_ptr<MonitorWait> wait;
    {
        std::lock_guard<std::mutex> lock(monitorWaitLock_);
        wait = monitorWait_;
    }
    if (wait) {
        // Taking the wait's lock orders this after the monitor's look at
        // stopRequested_, so the wake-up cannot fall between the two.
        { std::lock_guard<std::mutex> lock(wait->lock); }
        wait->changed.notify_all();
    }
}

void SerialPort::WaitUnlessStopped(const std::shared_ptr<MonitorWait>& wait,
                                   std::chrono::milliseconds limit) {
    {
        std::lock_guard<std::mutex> lock(monitorWaitLock_);
        monitorWait_ = wait;
    }
    {
        std::unique_lock<std::mutex> lock(wait->lock);
        const auto over = [&] { return wait->ended || stopRequested_.load(); };
        if (limit.count() > 0) {
            wait->changed.wait_for(lock, limit, over);
        } else {
            wait->changed.wait(lock, over);
        }
    }
    std::lock_guard<std::mutex> lock(monitorWaitLock_);
    monitorWait_.reset();
}

void SerialPort::EndMonitor() {
    // The monitor may be waiting for this thread to take a byte: serve that
    // hand-over while waiting, or neither thread would go on.
    while (monitorAlive_) {
        SignalShutdown();
        ServeHandOver();
        std::unique_lock<std::mutex> lock(handOverLock_);
        handOverDone_.wait_for(lock, kShutdownPoll,
                               [this] { return handOver_ == HandOver::Pending || !monitorAlive_; });
    }
    if (monitor_.joinable()) {
        monitor_.join();
    }
}

void SerialPort::CloseEvents() {
    for (int* fd : {&shutdownEvent_, &writeEvent_}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

void SerialPort::SendToOwner(std::function<void()> job) {
    std::unique_lock<std::mutex> lock(handOverLock_);
    handOverJob_ = std::move(job);
    handOver_ = HandOver::Pending;
    lock.unlock();
    post_([this] { ServeHandOver(); });
    lock.lock();
    handOverDone_.wait(lock, [this] { return handOver_ == HandOver::None; });
}

void SerialPort::ServeHandOver() {
    std::function<void()> job;
    {
        std::lock_guard<std::mutex> lock(handOverLock_);
        if (handOver_ != HandOver::Pending) {
            return;
        }
        handOver_ = HandOver::Running;
        job = std::move(handOverJob_);
    }
    job();
    {
        std::lock_guard<std::mutex> lock(handOverLock_);
        handOver_ = HandOver::None;
    }
    handOverDone_.notify_all();
}

void SerialPort::MonitorLoop() {
    while (!stopRequested_) {
        // A line given up (it hung up: its other end closed, the adapter
        // pulled) is not waited on again: it would wake the loop for ever.
        pollfd waits[3] = {
            {shutdownEvent_, POLLIN, 0},
            {lineGivenUp_ ? -1 : device_->PollHandle(), POLLIN, 0},
            {writeEvent_, POLLIN, 0},
        };
        if (::poll(waits, 3, -1) < 0) {
            const int error = errno;
            if (error == EINTR) {
                continue;
            }
            // The port is still open and its owner may still write: the
            // thread goes on. A failure that persists is said only once.
            if (!waitFailureReported_) {
                waitFailureReported_ = true;
                ReportFailure("WaitCommEvent()", error, true);
            }
            WaitUnlessStopped(std::make_shared<MonitorWait>(), kWaitRetry);
            continue;
        }
        if (waits[0].revents != 0) {
            break;
        }
        if (waits[1].revents != 0) {
            int queued = 0;
            {
                std::lock_guard<std::mutex> lock(portLock_);
                device_->QueuedInput(queued);
            }
            if (queued == 0 && (waits[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
                GiveUpLine("WaitCommEvent()", HangUpError(waits[1].revents));
                continue;
            }
            if ((eventMask_ & kEventCts) != 0 && handCommEvents_) {
                SendToOwner([this] {
                    if (commEventHandler_) {
                        commEventHandler_();
                    }
                });
            }
            if ((eventMask_ & kEventRxChar) != 0) {
                ReadAvailable();
            }
            continue;
        }
        if (waits[2].revents != 0) {
            WritePending();
        }
    }
    {
        std::lock_guard<std::mutex> lock(handOverLock_);
        monitorAlive_ = false;
    }
    handOverDone_.notify_all();
}

void SerialPort::ReadAvailable() {
    // What one wake-up read is traced as one line, once it has been handed
    // over: the bytes come one at a time.
    if (!TraceEnabled()) {
        ReadQueued(nullptr);
        return;
    }
    std::vector<uint8_t> got;
    ReadQueued(&got);
    if (!got.empty()) {
        Trace("serial " + path_, "<-", std::to_string(got.size()) + " bytes", got);
    }
}

void SerialPort::ReadQueued(std::vector<uint8_t>* got) {
    // A flood must not keep the thread from seeing a shut-down request.
    while (!stopRequested_) {
        int queued = 0;
        {
            std::lock_guard<std::mutex> lock(portLock_);
            device_->QueuedInput(queued);
        }
        if (queued <= 0) {
            return;
        }
        uint8_t byte = 0;
        int error = 0;
        {
            std::lock_guard<std::mutex> lock(portLock_);
            error = device_->ReadByte(byte);
        }
        if (error != 0) {
            // Input that is queued but cannot be read will not become
            // readable: the line is as good as hung up.
            GiveUpLine("ReadFile()", error);
            return;
        }
        if (got != nullptr) {
            got->push_back(byte);
        }
        SendToOwner([this, byte] { DeliverByte(byte); });
    }
}

void SerialPort::WritePending() {
    Reset(writeEvent_);
    std::vector<uint8_t> bytes;
    {
        std::lock_guard<std::mutex> lock(writeLock_);
        bytes.assign(writeBuffer_.begin(),
                     writeBuffer_.begin() + static_cast<std::ptrdiff_t>(writeLength_));
    }
    int error = 0;
    {
        std::lock_guard<std::mutex> lock(portLock_);
        // Bytes received but not read yet are dropped before every write.
        device_->Purge();
        error = device_->Write(bytes);
    }
    if (error != 0) {
        ReportFailure("WriteFile()", error, true);
    } else if (TraceEnabled()) {
        Trace("serial " + path_, "->", std::to_string(bytes.size()) + " bytes", bytes);
    }
}

void SerialPort::GiveUpLine(const char* operation, int error) {
    lineGivenUp_ = true;
    ReportFailure(operation, error, true);
}

void SerialPort::ReportFailure(const char* operation, int error, bool onMonitorThread) {
    const std::string text = FailureText(operation, error, portNumber_);
    if (!onMonitorThread) {
        // The box blocks the owner's thread until it is closed.
        if (reportFailure_) {
            reportFailure_(text, nullptr);
        } else {
            std::fputs(text.c_str(), stderr);
        }
        return;
    }
    // The box blocks the monitor thread, not the owner's, until it is
    // closed. Its closed call holds only the wait it ends: the box may be
    // closed after the port shut down, or after it opened again.
    const auto box = std::make_shared<MonitorWait>();
    SendToOwner([this, text, box] {
        if (reportFailure_) {
            reportFailure_(text, [box] { box->End(); });
        } else {
            std::fputs(text.c_str(), stderr);
            box->End();
        }
    });
    WaitUnlessStopped(box);
}
