#include "commandline/DisplayAddress.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kX11BasePort = 6000;
constexpr int kNetworkLimitMs = 3000;

bool AllDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

int ConnectLocal(const std::string& path, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t offset = abstract ? 1 : 0;  // the abstract name starts with a NUL
    if (path.size() + offset >= sizeof(address.sun_path)) {
        return -1;
    }
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset +
                                               path.size() + (abstract ? 0 : 1));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A non-blocking connect, so that a host that drops packets costs the
// limit and no more.
int ConnectWithin(const addrinfo& candidate, int limitMs) {
    const int fd =
        ::socket(candidate.ai_family, candidate.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                 candidate.ai_protocol);
    if (fd < 0) {
        return -1;
    }
    bool connected = ::connect(fd, candidate.ai_addr, candidate.ai_addrlen) == 0;
    if (!connected && errno == EINPROGRESS) {
        pollfd waiting{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof(error);
        connected = ::poll(&waiting, 1, limitMs) == 1 &&
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    if (!connected) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int ConnectNetwork(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        return -1;
    }
    int fd = -1;
    for (const addrinfo* candidate = found; candidate != nullptr && fd < 0;
         candidate = candidate->ai_next) {
        fd = ConnectWithin(*candidate, kNetworkLimitMs);
    }
    ::freeaddrinfo(found);
    return fd;
}

}  // namespace

std::optional<DisplayAddress> X11AddressOf(const std::string& display) {
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos) {
        return std::nullopt;
    }
    std::string host = display.substr(0, colon);
    const std::string rest = display.substr(colon + 1);
    const std::string number = rest.substr(0, rest.find('.'));
    if (!AllDigits(number) || number.size() > 5 || host.ends_with(':')) {
        return std::nullopt;  // not a number, or DECnet's "host::0"
    }
    // "unix/host:0" and "tcp/host:0" name the protocol.
    bool local = host.empty() || host == "unix";
    if (host.starts_with("unix/")) {
        local = true;
    } else if (host.starts_with("tcp/") || host.starts_with("inet/") ||
               host.starts_with("inet6/")) {
        host = host.substr(host.find('/') + 1);
    }
    DisplayAddress address;
    if (local) {
        address.path = "/tmp/.X11-unix/X" + number;
        address.abstract = true;
        return address;
    }
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    address.kind = DisplayAddress::Kind::Network;
    address.host = host;
    address.port = kX11BasePort + std::stoi(number);
    return address;
}

std::optional<DisplayAddress> WaylandAddressOf(const std::string& waylandDisplay,
                                               const std::string& runtimeDir) {
    const std::string name = waylandDisplay.empty() ? "wayland-0" : waylandDisplay;
    DisplayAddress address;
    if (name.front() == '/') {
        address.path = name;
        return address;
    }
    if (runtimeDir.empty()) {
        return std::nullopt;
    }
    address.path = runtimeDir + "/" + name;
    return address;
}

int ConnectTo(const DisplayAddress& address) {
    if (address.kind == DisplayAddress::Kind::Network) {
        return ConnectNetwork(address.host, address.port);
    }
    const int fd = address.abstract ? ConnectLocal(address.path, true) : -1;
    return fd >= 0 ? fd : ConnectLocal(address.path, false);
}

bool Answers(const DisplayAddress& address) {
    const int fd = ConnectTo(address);
    if (fd >= 0) {
        ::close(fd);
    }
    return fd >= 0;
}

std::string Describe(const DisplayAddress& address) {
    if (address.kind == DisplayAddress::Kind::Network) {
        return address.host + " port " + std::to_string(address.port);
    }
    return address.path;
}
