#include "cli/SerialCandidates.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "cli/CliExit.h"
#include "cli/HidSelection.h"
#include "platform/hid/HidPlatform.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kSerialPatterns[] = {"ttyS", "ttyUSB", "ttyACM"};
constexpr const char* kUdevRuleFix =
    "install the udev rule 70-tallisk.rules (the package does) and plug the reader in again";
constexpr const char* kDialoutFix =
    "add the user to the dialout group (sudo usermod -aG dialout $USER) and log in again";

// The processes that hold path open, as "name (pid)".
std::string Holders(const std::string& path) {
    std::error_code ec;
    const fs::path target = fs::canonical(path, ec);
    std::string holders;
    for (const fs::directory_entry& proc : fs::directory_iterator("/proc", ec)) {
        const std::string pid = proc.path().filename();
        if (!std::all_of(pid.begin(), pid.end(), ::isdigit)) {
            continue;
        }
        std::error_code fdError;
        for (const fs::directory_entry& fd : fs::directory_iterator(proc.path() / "fd", fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd.path(), linkError) == target) {
                FILE* comm = std::fopen((proc.path() / "comm").c_str(), "r");
                char name[64] = "?";
                if (comm != nullptr) {
                    if (std::fgets(name, sizeof name, comm) != nullptr) {
                        name[std::strcspn(name, "\n")] = '\0';
                    }
                    std::fclose(comm);
                }
                holders += (holders.empty() ? "" : ", ") + std::string(name) + " (" + pid + ")";
                break;
            }
        }
    }
    return holders;
}

// "" when this user may open the line, else why not and the fix.
std::string SerialAccess(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return "";
    }
    const int error = errno;
    std::string why = std::strerror(error);
    if (error == EACCES) {
        why += "; " + std::string(kDialoutFix);
    } else if (error == EBUSY) {
        const std::string holders = Holders(path);
        why += holders.empty() ? "; another program holds it" : "; held by " + holders;
    }
    return why;
}

std::string ByIdName(const std::string& path) {
    std::error_code ec;
    for (const fs::directory_entry& link : fs::directory_iterator("/dev/serial/by-id", ec)) {
        std::error_code linkError;
        if (fs::canonical(link.path(), linkError) == fs::path(path)) {
            return link.path();
        }
    }
    return "";
}

std::vector<std::string> SerialLines() {
    std::vector<std::string> lines;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator("/dev", ec)) {
        const std::string name = entry.path().filename();
        for (const char* pattern : kSerialPatterns) {
            const size_t n = std::strlen(pattern);
            if (name.size() > n && name.compare(0, n, pattern) == 0 &&
                std::isdigit(static_cast<unsigned char>(name[n]))) {
                lines.push_back(entry.path());
            }
        }
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

}  // namespace

std::string SerialOpenAdvice(const std::string& path) {
    const std::string why = SerialAccess(path);
    return why.empty() ? "" : ": " + why;
}

int ListReadersAndLines(bool json) {
    std::unique_ptr<HidPlatform> platform = MakeLinuxHidPlatform();
    const std::vector<HidDeviceInfo> readers =
        platform ? ListReaders(*platform) : std::vector<HidDeviceInfo>{};
    if (json) {
        std::printf("{\"usb\": [");
    } else {
        std::printf("USB readers:%s\n", readers.empty() ? " none" : "");
    }
    for (size_t i = 0; i < readers.size(); ++i) {
        const HidDeviceInfo& r = readers[i];
        const std::optional<HidReportLengths> lengths = platform->ReportLengths(r.path);
        const bool mayOpen = ::access(r.path.c_str(), R_OK | W_OK) == 0;
        const std::string why =
            mayOpen ? "" : std::strerror(errno) + std::string("; ") + kUdevRuleFix;
        const HidReportLengths l = lengths.value_or(HidReportLengths{});
        if (json) {
            std::printf(
                "%s{\"path\": \"%s\", \"vendor\": \"%04x\", \"product\": \"%04x\", "
                "\"version\": \"%04x\", \"serial_number\": \"%s\", "
                "\"manufacturer\": \"%s\", \"product_name\": \"%s\", "
                "\"report_lengths\": {\"input\": %d, \"output\": %d, \"feature\": %d}, "
                "\"may_open\": %s, \"why_not\": \"%s\"}",
                i == 0 ? "" : ", ", Escaped(r.path).c_str(), r.vendorId, r.productId,
                r.releaseNumber, Escaped(r.serialNumber).c_str(),
                Escaped(r.manufacturerString).c_str(), Escaped(r.productString).c_str(), l.input,
                l.output, l.feature, mayOpen ? "true" : "false", Escaped(why).c_str());
        } else {
            std::printf(
                "  %s  %04x:%04x version %04x  serial %s  %s %s\n"
                "      reports: input %d, output %d, feature %d bytes; %s\n",
                r.path.c_str(), r.vendorId, r.productId, r.releaseNumber,
                r.serialNumber.empty() ? "(none)" : r.serialNumber.c_str(),
                r.manufacturerString.c_str(), r.productString.c_str(), l.input, l.output, l.feature,
                mayOpen ? "may be opened" : ("cannot be opened: " + why).c_str());
        }
    }
    const std::vector<std::string> lines = SerialLines();
    if (json) {
        std::printf("], \"serial\": [");
    } else {
        std::printf("Serial lines:%s\n", lines.empty() ? " none" : "");
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string why = SerialAccess(lines[i]);
        const std::string byId = ByIdName(lines[i]);
        if (json) {
            std::printf(
                "%s{\"path\": \"%s\", \"by_id\": \"%s\", \"may_open\": %s, "
                "\"why_not\": \"%s\"}",
                i == 0 ? "" : ", ", lines[i].c_str(), Escaped(byId).c_str(),
                why.empty() ? "true" : "false", Escaped(why).c_str());
        } else {
            std::printf("  %s%s%s  %s\n", lines[i].c_str(), byId.empty() ? "" : "  ", byId.c_str(),
                        why.empty() ? "may be opened" : ("cannot be opened: " + why).c_str());
        }
    }
    if (json) {
        std::printf("]}\n");
    }
    return kCliOk;
}
