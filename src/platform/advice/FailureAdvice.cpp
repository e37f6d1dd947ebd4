#include "platform/advice/FailureAdvice.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/advice/PortHolders.h"

namespace {

struct ErrorFix {
    int error;
    const char* fix;
    bool namesHolders;  // the fix goes on with the processes that hold the port
};

// The open's errors that have a likely fix. A port another program has
// locked fails the lock with EWOULDBLOCK, one held exclusively the open
// with EBUSY: both are in use.
constexpr std::array<ErrorFix, 4> kSerialOpenFixes{{
    {EACCES, "not in the dialout group: sudo usermod -aG dialout $USER, then log in again", false},
    {EBUSY, "the port is in use", true},
    {EWOULDBLOCK, "the port is in use", true},
    {ENOENT, "no such device", false},
}};

const ErrorFix* SerialFixOf(int error) {
    for (const ErrorFix& entry : kSerialOpenFixes) {
        if (entry.error == error) {
            return &entry;
        }
    }
    return nullptr;
}

constexpr std::string_view kUdevRuleFix =
    "install the udev rule 70-tallisk.rules and plug the reader in again";

// A holder is always named: when no process can be seen holding the device
// (another user's, or in another process namespace), that is said instead.
constexpr std::string_view kUnseenHolder = "another program (which one cannot be seen)";
constexpr std::string_view kInUseFix = "close the other program and try again";

std::string HolderOrUnseen(std::string_view holders) {
    return std::string(holders.empty() ? kUnseenHolder : holders);
}

}  // namespace

std::string FailureLine(std::string_view path, std::string_view why, std::string_view fix) {
    std::string line(path);
    line += ": ";
    line += why;
    if (!fix.empty()) {
        line += "; ";
        line += fix;
    }
    return line;
}

std::string SerialOpenFix(int error, std::string_view holders) {
    const ErrorFix* entry = SerialFixOf(error);
    if (entry == nullptr) {
        return "";
    }
    std::string fix = entry->fix;
    if (entry->namesHolders) {
        fix += " by " + HolderOrUnseen(holders);
    }
    return fix;
}

std::string SerialOpenReason(const std::string& path, int error) {
    const ErrorFix* entry = SerialFixOf(error);
    const bool namesHolders = entry != nullptr && entry->namesHolders;
    const std::string fix = SerialOpenFix(error, namesHolders ? PortHolders(path) : std::string());
    return fix.empty() ? std::string(std::strerror(error)) : std::strerror(error) + ("; " + fix);
}

std::string SerialOpenFailureLine(const std::string& path, int error) {
    return path + ": " + SerialOpenReason(path, error);
}

std::string_view UsbAccessFix() {
    return kUdevRuleFix;
}

std::string UsbNoAccessLine(std::string_view path) {
    return FailureLine(path, std::strerror(EACCES), kUdevRuleFix);
}

std::string UsbInUseLine(std::string_view path, std::string_view holders) {
    return FailureLine(path, "the reader is in use by " + HolderOrUnseen(holders), kInUseFix);
}

std::string UsbInUseLine(const std::string& path) {
    return UsbInUseLine(path, PortHolders(path));
}

std::string ReaderUnpluggedLine(std::string_view path) {
    return FailureLine(path, "the reader was unplugged", "");
}

std::string ReaderNotFoundLine(std::string_view vendor, std::string_view product,
                               std::string_view version) {
    std::string line = "no USB reader found with vendor ";
    line += vendor;
    line += ", product ";
    line += product;
    line += ", version ";
    line += version;
    line += "; is it plugged in?";
    return line;
}

void SayFailure(const std::string& line) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, line.c_str());
}
