#include "commandline/DisplayCheck.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

enum class Needs { Nothing, X11, Wayland };

struct PlatformNeed {
    std::string_view prefix;  // of the platform plugin's name
    Needs needs;
};

// Qt's platform plugins on Linux; a name not here is taken to need one of
// the two displays, as Qt's default does.
constexpr std::array<PlatformNeed, 8> kPlatforms{{
    {"offscreen", Needs::Nothing},
    {"minimal", Needs::Nothing},  // also minimalegl
    {"vnc", Needs::Nothing},
    {"linuxfb", Needs::Nothing},
    {"eglfs", Needs::Nothing},
    {"vkkhrdisplay", Needs::Nothing},
    {"xcb", Needs::X11},
    {"wayland", Needs::Wayland},  // also wayland-egl and the like
}};

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool Served(std::string_view platform, const DisplayEnvironment& environment) {
    const bool x11 = !environment.display.empty();
    const bool wayland = !environment.waylandDisplay.empty();
    const auto need = std::find_if(kPlatforms.begin(), kPlatforms.end(),
                                   [platform](auto& p) { return platform.starts_with(p.prefix); });
    if (need == kPlatforms.end()) {
        return x11 || wayland;
    }
    switch (need->needs) {
        case Needs::Nothing:
            return true;
        case Needs::X11:
            return x11;
        case Needs::Wayland:
            return wayland;
    }
    return false;
}

}  // namespace

DisplayEnvironment DisplayEnvironment::OfProcess() {
    return {Variable("DISPLAY"), Variable("WAYLAND_DISPLAY"), Variable("QT_QPA_PLATFORM")};
}

bool HasDisplay(const DisplayEnvironment& environment) {
    // QT_QPA_PLATFORM is a list, "wayland;xcb", tried in turn; each entry
    // may carry options after a colon, "offscreen:fontengine=freetype".
    bool named = false;
    for (std::string_view rest = environment.qpaPlatform; !rest.empty();) {
        const size_t end = rest.find(';');
        const std::string_view entry = rest.substr(0, end);
        rest = end == rest.npos ? std::string_view() : rest.substr(end + 1);
        if (entry.empty()) {
            continue;
        }
        named = true;
        if (Served(entry.substr(0, entry.find(':')), environment)) {
            return true;
        }
    }
    // Naming none, Qt chooses its default platform.
    return !named && Served(std::string_view(), environment);
}

std::string NoDisplayMessage(const char* program, const char* instead) {
    return std::string(program) + ": no display: set DISPLAY or WAYLAND_DISPLAY, or " + instead +
           "\n";
}

std::optional<int> RefuseWithoutDisplay(const char* program, const char* instead) {
    if (HasDisplay(DisplayEnvironment::OfProcess())) {
        return std::nullopt;
    }
    std::fputs(NoDisplayMessage(program, instead).c_str(), stderr);
    return kExitNoDisplay;
}
