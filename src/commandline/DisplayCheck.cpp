#include "commandline/DisplayCheck.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

enum class Needs { Nothing, X11, Wayland, Either };

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

Needs NeedOf(std::string_view platform) {
    const auto need = std::find_if(kPlatforms.begin(), kPlatforms.end(),
                                   [platform](auto& p) { return platform.starts_with(p.prefix); });
    return need == kPlatforms.end() ? Needs::Either : need->needs;
}

// Tries the displays in the order Qt would, noting why each named one
// failed.
class Trial {
  public:
    explicit Trial(const DisplayEnvironment& environment) : environment_(environment) {}

    bool Starts(Needs needs) {
        switch (needs) {
            case Needs::Nothing:
                return true;
            case Needs::X11:
                return X11();
            case Needs::Wayland:
                return Wayland();
            case Needs::Either:
                // Qt's own choice.
                return ((!environment_.waylandDisplay.empty() ||
                         environment_.sessionType == "wayland") &&
                        Wayland()) ||
                       X11();
        }
        return false;
    }

    std::string Why() const {
        std::string why;
        for (const std::string& reason : reasons_) {
            why += (why.empty() ? "" : "; ") + reason;
        }
        return why;
    }

  private:
    bool X11() {
        const std::string& name = environment_.display;
        if (name.empty()) {
            return false;
        }
        const std::optional<DisplayAddress> address = X11AddressOf(name);
        if (!address) {
            Note("DISPLAY=" + name + " is not a display name");
            return false;
        }
        return Reached(*address, "no X server answers at DISPLAY=" + name);
    }

    bool Wayland() {
        const std::string& name = environment_.waylandDisplay;
        const std::optional<DisplayAddress> address =
            WaylandAddressOf(name, environment_.runtimeDir);
        if (!address) {
            if (!name.empty()) {
                Note("WAYLAND_DISPLAY=" + name + " needs XDG_RUNTIME_DIR, which is not set");
            }
            return false;
        }
        // Unset, the default socket is the library's guess, not the
        // user's word: its failure is worth no reason.
        return Reached(*address, name.empty()
                                     ? ""
                                     : "no Wayland compositor answers at WAYLAND_DISPLAY=" + name);
    }

    bool Reached(const DisplayAddress& address, const std::string& failure) {
        if (!environment_.answers || environment_.answers(address)) {
            return true;
        }
        if (!failure.empty()) {
            Note(failure + " (" + Describe(address) + ")");
        }
        return false;
    }

    void Note(const std::string& reason) {
        if (std::find(reasons_.begin(), reasons_.end(), reason) == reasons_.end()) {
            reasons_.push_back(reason);
        }
    }

    const DisplayEnvironment& environment_;
    std::vector<std::string> reasons_;
};

}  // namespace

DisplayEnvironment DisplayEnvironment::OfProcess() {
    return {Variable("DISPLAY"),          Variable("WAYLAND_DISPLAY"), Variable("QT_QPA_PLATFORM"),
            Variable("XDG_SESSION_TYPE"), Variable("XDG_RUNTIME_DIR"), Answers};
}

DisplayVerdict CheckDisplay(const DisplayEnvironment& environment) {
    Trial trial(environment);
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
        if (trial.Starts(NeedOf(entry.substr(0, entry.find(':'))))) {
            return {true, ""};
        }
    }
    // Naming none, Qt chooses its default platform.
    if (!named && trial.Starts(Needs::Either)) {
        return {true, ""};
    }
    return {false, trial.Why()};
}

bool HasDisplay(const DisplayEnvironment& environment) {
    return CheckDisplay(environment).has;
}

std::string NoDisplayMessage(const char* program, const std::string& why, const char* instead) {
    return std::string(program) + ": no display: " + (why.empty() ? "" : why + "; ") +
           "set DISPLAY or WAYLAND_DISPLAY, or " + instead + "\n";
}

bool HeldDisplayConnection::Answers(const DisplayAddress& address) {
    const int fd = ConnectTo(address);
    if (fd < 0) {
        return false;
    }
    if (fd_ < 0) {
        fd_ = fd;
    } else {
        ::close(fd);
    }
    return true;
}

void HeldDisplayConnection::Release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::optional<int> RefuseWithoutDisplay(const char* program, const char* instead,
                                        HeldDisplayConnection& held) {
    DisplayEnvironment environment = DisplayEnvironment::OfProcess();
    environment.answers = [&held](const DisplayAddress& address) { return held.Answers(address); };
    const DisplayVerdict verdict = CheckDisplay(environment);
    if (verdict.has) {
        return std::nullopt;
    }
    std::fputs(NoDisplayMessage(program, verdict.why, instead).c_str(), stderr);
    return kExitNoDisplay;
}
