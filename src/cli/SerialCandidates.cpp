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
#include "cli/CliOutput.h"
#include "cli/HidSelection.h"
#include "platform/advice/FailureAdvice.h"
#include "platform/hid/HidPlatform.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kSerialPatterns[] = {"ttyS", "ttyUSB", "ttyACM"};

// "" when this user may open the line, else why not and the fix.
std::string SerialAccess(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return "";
    }
    return SerialOpenReason(path, errno);
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

// "0471": a USB identity as lsusb shows it.
std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value & 0xFFFFu);
    return text;
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
    QJsonArray usb;
    if (!json) {
        std::printf("USB readers:%s\n", readers.empty() ? " none" : "");
    }
    for (const HidDeviceInfo& r : readers) {
        const std::optional<HidReportLengths> lengths = platform->ReportLengths(r.path);
        const bool mayOpen = ::access(r.path.c_str(), R_OK | W_OK) == 0;
        const std::string why =
            mayOpen ? "" : std::strerror(errno) + std::string("; ") + std::string(UsbAccessFix());
        const HidReportLengths l = lengths.value_or(HidReportLengths{});
        if (json) {
            usb.append(QJsonObject{
                {"path", JsonString(r.path)},
                {"vendor", JsonString(Hex4(r.vendorId))},
                {"product", JsonString(Hex4(r.productId))},
                {"version", JsonString(Hex4(r.releaseNumber))},
                {"serial_number", JsonString(r.serialNumber)},
                {"manufacturer", JsonString(r.manufacturerString)},
                {"product_name", JsonString(r.productString)},
                {"report_lengths",
                 QJsonObject{{"input", l.input}, {"output", l.output}, {"feature", l.feature}}},
                {"may_open", mayOpen},
                {"why_not", JsonString(why)}});
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
    QJsonArray serial;
    if (!json) {
        std::printf("Serial lines:%s\n", lines.empty() ? " none" : "");
    }
    for (const std::string& line : lines) {
        const std::string why = SerialAccess(line);
        const std::string byId = ByIdName(line);
        if (json) {
            serial.append(QJsonObject{{"path", JsonString(line)},
                                      {"by_id", JsonString(byId)},
                                      {"may_open", why.empty()},
                                      {"why_not", JsonString(why)}});
        } else {
            std::printf("  %s%s%s  %s\n", line.c_str(), byId.empty() ? "" : "  ", byId.c_str(),
                        why.empty() ? "may be opened" : ("cannot be opened: " + why).c_str());
        }
    }
    if (json) {
        EmitJson({{"usb", usb}, {"serial", serial}});
    }
    return kCliOk;
}
