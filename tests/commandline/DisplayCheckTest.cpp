#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <set>

#include "commandline/DisplayCheck.h"

namespace {

// Servers that answer in the cases below: X on display 0, locally and on
// host "far"; a compositor at /run/user/1000/wayland-0.
bool Answering(const DisplayAddress& address) {
    static const std::set<std::string> local = {"/tmp/.X11-unix/X0", "/run/user/1000/wayland-0"};
    if (address.kind == DisplayAddress::Kind::Network) {
        return address.host == "far" && address.port == 6000;
    }
    return local.contains(address.path);
}

DisplayEnvironment Environment(const char* display, const char* wayland, const char* platform,
                               const char* session = "") {
    return {display, wayland, platform, session, "/run/user/1000", Answering};
}

TEST(DisplayCheck, APlatformQtWouldTryHasADisplayThatAnswers) {
    const struct {
        const char* display;
        const char* wayland;
        const char* platform;
        const char* session;
        bool has;
    } cases[] = {
        // Qt's default platform: either display.
        {"", "", "", "", false},
        {":0", "", "", "", true},
        {"", "wayland-0", "", "", true},
        {":0", "wayland-0", "", "", true},
        // Named, but nothing answers there: as good as none.
        {":99", "", "", "", false},
        {"", "nonexist", "", "", false},
        {":99", "nonexist", "", "", false},
        {":99", "wayland-0", "", "", true},
        {":0", "nonexist", "", "", true},
        {"", "", "", "wayland", true},  // the compositor's default socket
        {"far:0", "", "", "", true},
        {"far:1", "", "", "", false},
        {"nonsense", "", "", "", false},
        // Platforms that draw without a display server.
        {"", "", "offscreen", "", true},
        {"", "", "offscreen:fontengine=freetype", "", true},
        {"", "", "minimal", "", true},
        {"", "", "minimalegl", "", true},
        {"", "", "vnc", "", true},
        {"", "", "vnc:size=800x600", "", true},
        {"", "", "linuxfb", "", true},
        {"", "", "eglfs", "", true},
        {"", "", "vkkhrdisplay", "", true},
        // Platforms bound to one display server.
        {"", "", "xcb", "", false},
        {":0", "", "xcb", "", true},
        {":99", "", "xcb", "", false},
        {"", "wayland-0", "xcb", "", false},
        {"", "", "wayland", "", true},  // the default socket answers
        {":0", "nonexist", "wayland", "", false},
        {"", "wayland-0", "wayland", "", true},
        {"", "wayland-0", "wayland-egl", "", true},
        // A list is tried in turn: one entry that can start is enough.
        {"", "nonexist", "wayland;xcb", "", false},
        {":0", "nonexist", "wayland;xcb", "", true},
        {"", "", "xcb;offscreen", "", true},
        {"", "", ";", "", false},
        {":0", "", ";", "", true},
        // A name Qt may know but this check does not: as the default.
        {":99", "", "someplugin", "", false},
        {":0", "", "someplugin", "", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasDisplay(Environment(c.display, c.wayland, c.platform, c.session)), c.has)
            << "DISPLAY=" << c.display << " WAYLAND_DISPLAY=" << c.wayland
            << " QT_QPA_PLATFORM=" << c.platform << " XDG_SESSION_TYPE=" << c.session;
    }
}

TEST(DisplayCheck, SaysWhatWasNamedAndDidNotAnswer) {
    const struct {
        DisplayEnvironment environment;
        std::string why;
    } cases[] = {
        {Environment("", "", ""), ""},
        {Environment(":99", "", ""), "no X server answers at DISPLAY=:99 (/tmp/.X11-unix/X99)"},
        {Environment(":99", "nonexist", ""),
         "no Wayland compositor answers at WAYLAND_DISPLAY=nonexist (/run/user/1000/nonexist); "
         "no X server answers at DISPLAY=:99 (/tmp/.X11-unix/X99)"},
        {Environment("far:1.0", "", "xcb"),
         "no X server answers at DISPLAY=far:1.0 (far port 6001)"},
        {Environment("nonsense", "", ""), "DISPLAY=nonsense is not a display name"},
        {{"", "wayland-1", "wayland", "", "", Answering},
         "WAYLAND_DISPLAY=wayland-1 needs XDG_RUNTIME_DIR, which is not set"},
    };
    for (const auto& c : cases) {
        const DisplayVerdict verdict = CheckDisplay(c.environment);
        EXPECT_FALSE(verdict.has);
        EXPECT_EQ(verdict.why, c.why);
    }
}

TEST(DisplayCheck, AddressesAreReadAsTheClientLibrariesReadThem) {
    using Kind = DisplayAddress::Kind;
    const struct {
        const char* display;
        std::optional<DisplayAddress> address;
    } x11[] = {
        {":0", DisplayAddress{Kind::LocalSocket, "/tmp/.X11-unix/X0", true, "", 0}},
        {":12.1", DisplayAddress{Kind::LocalSocket, "/tmp/.X11-unix/X12", true, "", 0}},
        {"unix:3", DisplayAddress{Kind::LocalSocket, "/tmp/.X11-unix/X3", true, "", 0}},
        {"localhost:10.0", DisplayAddress{Kind::Network, "", false, "localhost", 6010}},
        {"tcp/host:2", DisplayAddress{Kind::Network, "", false, "host", 6002}},
        {"[::1]:1", DisplayAddress{Kind::Network, "", false, "::1", 6001}},
        {"", std::nullopt},
        {"0", std::nullopt},
        {":", std::nullopt},
        {":x", std::nullopt},
        {"host::0", std::nullopt},
        {":9999999999", std::nullopt},
    };
    for (const auto& c : x11) {
        EXPECT_EQ(X11AddressOf(c.display), c.address) << c.display;
    }
    EXPECT_EQ(WaylandAddressOf("", "/run/user/5")->path, "/run/user/5/wayland-0");
    EXPECT_EQ(WaylandAddressOf("w-1", "/run/user/5")->path, "/run/user/5/w-1");
    EXPECT_EQ(WaylandAddressOf("/tmp/sock", "")->path, "/tmp/sock");
    EXPECT_FALSE(WaylandAddressOf("w-1", "").has_value());
}

// The real probe: a socket listening answers, the same path closed does not.
TEST(DisplayCheck, AnswersOnlyWhereSomethingListens) {
    const std::string path = ::testing::TempDir() + "display-" + std::to_string(::getpid());
    const int local = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un unixAddress{};
    unixAddress.sun_family = AF_UNIX;
    std::strncpy(unixAddress.sun_path, path.c_str(), sizeof(unixAddress.sun_path) - 1);
    ASSERT_EQ(::bind(local, reinterpret_cast<sockaddr*>(&unixAddress), sizeof(unixAddress)), 0);
    ASSERT_EQ(::listen(local, 1), 0);
    const DisplayAddress socketAddress = *WaylandAddressOf(path, "");
    EXPECT_TRUE(Answers(socketAddress));

    const int network = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in inet{};
    inet.sin_family = AF_INET;
    inet.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(network, reinterpret_cast<sockaddr*>(&inet), sizeof(inet)), 0);
    ASSERT_EQ(::listen(network, 1), 0);
    socklen_t size = sizeof(inet);
    ::getsockname(network, reinterpret_cast<sockaddr*>(&inet), &size);
    const DisplayAddress networkAddress{DisplayAddress::Kind::Network, "", false, "127.0.0.1",
                                        ntohs(inet.sin_port)};
    EXPECT_TRUE(Answers(networkAddress));

    ::close(local);
    ::unlink(path.c_str());
    ::close(network);
    EXPECT_FALSE(Answers(socketAddress));
    EXPECT_FALSE(Answers(networkAddress));
}

// The connection that found the display stays open until released: the
// server does not lose its last client before the program connects.
TEST(DisplayCheck, TheConnectionThatFoundTheDisplayIsHeldUntilReleased) {
    const std::string path = ::testing::TempDir() + "held-" + std::to_string(::getpid());
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(server, 4), 0);

    HeldDisplayConnection held;
    EXPECT_TRUE(held.Answers(*WaylandAddressOf(path, "")));
    EXPECT_TRUE(held.Answers(*WaylandAddressOf(path, "")));  // a second one is not kept
    const int first = ::accept(server, nullptr, nullptr);
    const int second = ::accept(server, nullptr, nullptr);
    char byte = 0;
    EXPECT_EQ(::recv(second, &byte, 1, 0), 0) << "closed at once";
    EXPECT_EQ(::recv(first, &byte, 1, MSG_DONTWAIT), -1) << "still open";
    held.Release();
    EXPECT_EQ(::recv(first, &byte, 1, 0), 0) << "closed once released";
    for (const int fd : {first, second, server}) {
        ::close(fd);
    }
    ::unlink(path.c_str());
}

TEST(DisplayCheck, TheMessageIsOneLineNamingTheProgramWhyAndWhatToDo) {
    EXPECT_EQ(NoDisplayMessage("prog", "", "use the other program"),
              "prog: no display: set DISPLAY or WAYLAND_DISPLAY, or use the other program\n");
    EXPECT_EQ(NoDisplayMessage("prog", "no X server answers at DISPLAY=:9 (/tmp/.X11-unix/X9)",
                               "use the other program"),
              "prog: no display: no X server answers at DISPLAY=:9 (/tmp/.X11-unix/X9); set "
              "DISPLAY or WAYLAND_DISPLAY, or use the other program\n");
}

}  // namespace
