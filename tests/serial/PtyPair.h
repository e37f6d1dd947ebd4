#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

// A bare pseudo-terminal whose far end the test drives byte by byte; its
// path is published as the device of a COM port number.
class PtyPair {
  public:
    explicit PtyPair(int comPort) : variable_("TALLISK_COM" + std::to_string(comPort)) {
        char name[256] = {};
        termios raw{};
        ::cfmakeraw(&raw);
        if (::openpty(&master, &slave_, name, &raw, nullptr) == 0) {
            path = name;
            ::setenv(variable_.c_str(), name, 1);
        }
    }
    ~PtyPair() {
        ::unsetenv(variable_.c_str());
        CloseMaster();
        if (slave_ >= 0) {
            ::close(slave_);
        }
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    void Send(const std::vector<uint8_t>& bytes) const {
        [[maybe_unused]] const ssize_t n = ::write(master, bytes.data(), bytes.size());
    }

    // Reads what the port wrote, waiting up to limitMs for the first byte.
    std::vector<uint8_t> Receive(size_t count, int limitMs = 2000) const {
        std::vector<uint8_t> bytes;
        while (bytes.size() < count) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, limitMs) <= 0) {
                break;
            }
            uint8_t b[256];
            const ssize_t n = ::read(master, b, sizeof b);
            if (n <= 0) {
                break;
            }
            bytes.insert(bytes.end(), b, b + n);
        }
        return bytes;
    }

    void CloseMaster() {
        if (master >= 0) {
            ::close(master);
            master = -1;
        }
    }

    int master = -1;
    std::string path;

  private:
    std::string variable_;
    int slave_ = -1;
};
