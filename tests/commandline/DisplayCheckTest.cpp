#include <gtest/gtest.h>

#include "commandline/DisplayCheck.h"

namespace {

TEST(DisplayCheck, APlatformQtWouldTryHasWhatItNeeds) {
    const struct {
        const char* display;
        const char* wayland;
        const char* platform;
        bool has;
    } cases[] = {
        // Qt's default platform: either display.
        {"", "", "", false},
        {":0", "", "", true},
        {"", "wayland-0", "", true},
        {":0", "wayland-0", "", true},
        // Platforms that draw without a display server.
        {"", "", "offscreen", true},
        {"", "", "offscreen:fontengine=freetype", true},
        {"", "", "minimal", true},
        {"", "", "minimalegl", true},
        {"", "", "vnc", true},
        {"", "", "vnc:size=800x600", true},
        {"", "", "linuxfb", true},
        {"", "", "eglfs", true},
        {"", "", "vkkhrdisplay", true},
        // Platforms bound to one display server.
        {"", "", "xcb", false},
        {":0", "", "xcb", true},
        {"", "wayland-0", "xcb", false},
        {"", "", "wayland", false},
        {":0", "", "wayland", false},
        {"", "wayland-0", "wayland", true},
        {"", "wayland-0", "wayland-egl", true},
        // A list is tried in turn: one entry that can start is enough.
        {"", "", "wayland;xcb", false},
        {":0", "", "wayland;xcb", true},
        {"", "", "xcb;offscreen", true},
        {"", "", ";", false},
        {":0", "", ";", true},
        // A name Qt may know but this check does not: as the default.
        {"", "", "someplugin", false},
        {":0", "", "someplugin", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasDisplay({c.display, c.wayland, c.platform}), c.has)
            << "DISPLAY=" << c.display << " WAYLAND_DISPLAY=" << c.wayland
            << " QT_QPA_PLATFORM=" << c.platform;
    }
}

TEST(DisplayCheck, TheMessageIsOneLineNamingTheProgramAndWhatToDo) {
    EXPECT_EQ(NoDisplayMessage("prog", "use the other program"),
              "prog: no display: set DISPLAY or WAYLAND_DISPLAY, or use the other program\n");
}

}  // namespace
