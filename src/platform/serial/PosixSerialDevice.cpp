#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "platform/serial/SerialDevice.h"

namespace {

struct BaudCode {
    int baud;
    speed_t code;
};

constexpr std::array<BaudCode, 12> kBaudCodes = {{
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {460800, B460800},
    {921600, B921600},
    {600, B600},
}};

int BaudOf(speed_t code) {
    for (const BaudCode& b : kBaudCodes) {
        if (b.code == code) {
            return b.baud;
        }
    }
    return 0;
}

int Errno() {
    return errno != 0 ? errno : EIO;
}

}  // namespace

PosixSerialDevice::~PosixSerialDevice() {
    Close();
}

int PosixSerialDevice::Open(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Errno();
    }
    // No sharing: a port another program holds is refused, and nobody else
    // gets it while this program does.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        const int error = Errno();
        ::close(fd);
        return error;
    }
    fd_ = fd;
    return 0;
}

void PosixSerialDevice::Close() {
    if (fd_ >= 0) {
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
    }
}

int PosixSerialDevice::SetTimeouts(const SerialTimeouts& timeouts) {
    if (!IsOpen()) {
        return EBADF;
    }
    // Reads never block (the monitor waits for input first); the write
    // time-outs bound how long a write may wait for room.
    timeouts_ = timeouts;
    return 0;
}

int PosixSerialDevice::SetEventMask(uint32_t mask) {
    if (!IsOpen()) {
        return EBADF;
    }
    // Input is what the monitor waits for; a CTS change cannot be waited
    // for together with it, so a mask asks for no more than these two.
    return (mask & ~(kEventRxChar | kEventCts)) == 0 ? 0 : EINVAL;
}

int PosixSerialDevice::GetLineSettings(LineSettings& settings) {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) {
        return Errno();
    }
    settings.baud = BaudOf(cfgetospeed(&t));
    settings.dataBits = (t.c_cflag & CSIZE) == CS5   ? 5
                        : (t.c_cflag & CSIZE) == CS6 ? 6
                        : (t.c_cflag & CSIZE) == CS7 ? 7
                                                     : 8;
    settings.stopBits = (t.c_cflag & CSTOPB) != 0 ? 2 : 1;
    settings.parity = (t.c_cflag & PARENB) == 0 ? 'N' : (t.c_cflag & PARODD) != 0 ? 'O' : 'E';
    int lines = 0;
    settings.rtsOn = ::ioctl(fd_, TIOCMGET, &lines) == 0 && (lines & TIOCM_RTS) != 0;
    return 0;
}

int PosixSerialDevice::SetLineSettings(const LineSettings& settings) {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) {
        return Errno();
    }
    speed_t speed = 0;
    for (const BaudCode& b : kBaudCodes) {
        if (b.baud == settings.baud) {
            speed = b.code;
        }
    }
    if (speed == 0) {
        return EINVAL;
    }
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    if (settings.dataBits < 5 || settings.dataBits > 8) {
        return EINVAL;
    }
    t.c_cflag |= kSizes[settings.dataBits - 5];
    if (settings.stopBits == 2) {
        t.c_cflag |= CSTOPB;
    }
    if (settings.parity == 'E' || settings.parity == 'O') {
        t.c_cflag |= PARENB;
        if (settings.parity == 'O') {
            t.c_cflag |= PARODD;
        }
    }
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0 ||
        ::tcsetattr(fd_, TCSANOW, &t) != 0) {
        return Errno();
    }
    if (settings.rtsOn) {
        const int rts = TIOCM_RTS;
        // A pseudo-terminal has no modem lines: that is not a failure.
        if (::ioctl(fd_, TIOCMBIS, &rts) != 0 && errno != ENOTTY && errno != EINVAL) {
            return Errno();
        }
    }
    return 0;
}

int PosixSerialDevice::Purge() {
    return ::tcflush(fd_, TCIOFLUSH) == 0 ? 0 : Errno();
}

int PosixSerialDevice::QueuedInput(int& count) {
    count = 0;
    return ::ioctl(fd_, FIONREAD, &count) == 0 ? 0 : Errno();
}

int PosixSerialDevice::ReadByte(uint8_t& byte) {
    const ssize_t n = ::read(fd_, &byte, 1);
    if (n == 1) {
        return 0;
    }
    return n == 0 ? EIO : Errno();
}

int PosixSerialDevice::Write(std::span<const uint8_t> bytes) {
    const long long budget = static_cast<long long>(timeouts_.writeTotalMultiplier) *
                                 static_cast<long long>(bytes.size()) +
                             timeouts_.writeTotalConstant;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return Errno();
        }
        pollfd p{fd_, POLLOUT, 0};
        const int ready = ::poll(&p, 1, budget > 0 ? static_cast<int>(budget) : -1);
        if (ready == 0) {
            return ETIMEDOUT;
        }
        if (ready < 0 && errno != EINTR) {
            return Errno();
        }
    }
    return 0;
}
