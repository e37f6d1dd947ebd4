#pragma once

#include <functional>
#include <optional>
#include <string>

#include "commandline/DisplayAddress.h"

// What decides whether Qt can show a window: without a display server that
// answers, Qt aborts the program when the application object is made.
struct DisplayEnvironment {
    std::string display;         // DISPLAY
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string qpaPlatform;     // QT_QPA_PLATFORM
    std::string sessionType;     // XDG_SESSION_TYPE
    std::string runtimeDir;      // XDG_RUNTIME_DIR
    // Whether a server answers at an address; Answers for the process.
    std::function<bool(const DisplayAddress&)> answers;

    static DisplayEnvironment OfProcess();
};

// The exit status of a window program started without a display.
constexpr int kExitNoDisplay = 2;

// Whether a platform Qt would try can start, and if none can, why not: ""
// when no display is named at all, else what was named and did not answer.
struct DisplayVerdict {
    bool has = false;
    std::string why;
};

// The platforms are QT_QPA_PLATFORM's list, tried in turn, or Qt's own
// choice: Wayland first when WAYLAND_DISPLAY is set or the session is a
// Wayland one, then X. xcb needs an X server answering at DISPLAY, wayland
// a compositor at its socket; offscreen and the like need nothing.
DisplayVerdict CheckDisplay(const DisplayEnvironment& environment);
bool HasDisplay(const DisplayEnvironment& environment);

// "tallisk: no display: [<why>; ]set DISPLAY or WAYLAND_DISPLAY, or
// <instead>", one line.
std::string NoDisplayMessage(const char* program, const std::string& why, const char* instead);

// The connection that found the display, kept open until the program has
// connected itself: an X server that loses its last client resets, and
// refuses new connections for a moment, which would fail the program's own.
class HeldDisplayConnection {
  public:
    HeldDisplayConnection() = default;
    HeldDisplayConnection(const HeldDisplayConnection&) = delete;
    HeldDisplayConnection& operator=(const HeldDisplayConnection&) = delete;
    ~HeldDisplayConnection() { Release(); }

    // Whether a server answers at address; the first connection that does
    // is the one kept.
    bool Answers(const DisplayAddress& address);
    void Release();

  private:
    int fd_ = -1;
};

// For a window program before it makes its QApplication: without a display
// prints NoDisplayMessage on standard error and gives kExitNoDisplay. With
// one, held keeps the connection that found it; release it once the
// application object is made.
std::optional<int> RefuseWithoutDisplay(const char* program, const char* instead,
                                        HeldDisplayConnection& held);
