#pragma once

#include <optional>
#include <string>

// Where a display server is reached: a local socket, or a host and port.
struct DisplayAddress {
    enum class Kind { LocalSocket, Network };
    Kind kind = Kind::LocalSocket;
    std::string path;       // the socket's path (LocalSocket)
    bool abstract = false;  // X's local socket: the abstract name first, then the path
    std::string host;       // (Network)
    int port = 0;

    bool operator==(const DisplayAddress&) const = default;
};

// The X server a DISPLAY names, as the X client library reads it:
// "[host]:number[.screen]", a local socket for no host or "unix", else TCP
// port 6000 + number on the host. Nothing for a name it cannot read.
std::optional<DisplayAddress> X11AddressOf(const std::string& display);

// The compositor's socket the Wayland client library connects to: the
// WAYLAND_DISPLAY name ("wayland-0" when empty) in XDG_RUNTIME_DIR, or the
// name itself when it is a path. Nothing when a relative name has no
// runtime directory.
std::optional<DisplayAddress> WaylandAddressOf(const std::string& waylandDisplay,
                                               const std::string& runtimeDir);

// A connection to whatever accepts one there now, or -1. A network address
// is given a few seconds at the most.
int ConnectTo(const DisplayAddress& address);

// Whether something accepts a connection there now (the connection is
// closed again).
bool Answers(const DisplayAddress& address);

// The address in words, for messages: the socket's path, or host and port.
std::string Describe(const DisplayAddress& address);
