#include "platform/hid/ReportDescriptorSource.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string_view>

namespace {

constexpr std::string_view kDevFolder = "/dev/";
constexpr std::string_view kNodePrefix = "/dev/hidraw";
constexpr size_t kMaxDescriptorBytes = HID_MAX_DESCRIPTOR_SIZE;

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// Other device nodes are never opened: opening some (a serial port) has
// effects of its own.
bool IsHidrawNode(const std::string& devicePath) {
    return devicePath.starts_with(kNodePrefix) && devicePath.size() > kNodePrefix.size() &&
           devicePath.find('/', kNodePrefix.size()) == std::string::npos;
}

std::optional<std::vector<uint8_t>> ReadFromSysfs(const std::string& devicePath) {
    const std::string attribute =
        "/sys/class/hidraw/" + devicePath.substr(kDevFolder.size()) + "/device/report_descriptor";
    const FileDescriptor file(open(attribute.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(kMaxDescriptorBytes);
    size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = read(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<size_t>(got);
    }
    if (filled == 0) {
        return std::nullopt;
    }
    bytes.resize(filled);
    return bytes;
}

std::optional<std::vector<uint8_t>> ReadFromNode(const std::string& devicePath) {
    const FileDescriptor node(open(devicePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (node.get() < 0) {
        return std::nullopt;
    }
    int size = 0;
    if (ioctl(node.get(), HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 ||
        static_cast<size_t>(size) > kMaxDescriptorBytes) {
        return std::nullopt;
    }
    hidraw_report_descriptor descriptor{};
    descriptor.size = static_cast<uint32_t>(size);
    if (ioctl(node.get(), HIDIOCGRDESC, &descriptor) < 0) {
        return std::nullopt;
    }
    return std::vector<uint8_t>(descriptor.value, descriptor.value + size);
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadReportDescriptor(const std::string& devicePath) {
    if (!IsHidrawNode(devicePath)) {
        return std::nullopt;
    }
    if (auto bytes = ReadFromSysfs(devicePath)) {
        return bytes;
    }
    return ReadFromNode(devicePath);
}
