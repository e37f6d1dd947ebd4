#pragma once

#include <optional>
#include <string>

// What decides whether Qt can show a window: without a display server to
// reach, Qt aborts the program when the application object is made.
struct DisplayEnvironment {
    std::string display;         // DISPLAY
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string qpaPlatform;     // QT_QPA_PLATFORM

    static DisplayEnvironment OfProcess();
};

// The exit status of a window program started without a display.
constexpr int kExitNoDisplay = 2;

// Whether one of the platforms Qt would try has what it needs: an X display
// for xcb, a Wayland display for wayland, nothing for offscreen and the
// like. Without QT_QPA_PLATFORM either display will do.
bool HasDisplay(const DisplayEnvironment& environment);

// "tallisk: no display: set DISPLAY or WAYLAND_DISPLAY, or <instead>", one line.
std::string NoDisplayMessage(const char* program, const char* instead);

// For a window program before it makes its QApplication: without a display
// prints NoDisplayMessage on standard error and gives kExitNoDisplay.
std::optional<int> RefuseWithoutDisplay(const char* program, const char* instead);
