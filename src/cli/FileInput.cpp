#include "cli/FileInput.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "protocol/EscapedText.h"

namespace {

struct FileKind {
    mode_t type;
    const char* what;
};

constexpr std::array<FileKind, 5> kFileKinds{{
    {S_IFDIR, "a directory"},
    {S_IFCHR, "a character device"},
    {S_IFBLK, "a block device"},
    {S_IFIFO, "a named pipe (FIFO)"},
    {S_IFSOCK, "a socket"},
}};

const std::string kTooLarge =
    "it is larger than 1 MiB, the most a configuration file may hold (one is about 2 KB)";

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Why a file of this kind is not read, or "" when it is.
std::string KindRefusal(mode_t mode, bool standardInput) {
    const mode_t type = mode & S_IFMT;
    if (type == S_IFREG || (standardInput && (type == S_IFIFO || type == S_IFSOCK))) {
        return "";
    }
    for (const FileKind& kind : kFileKinds) {
        if (kind.type == type) {
            return std::string("it is ") + kind.what + ", not a regular file";
        }
    }
    return "it is not a regular file";
}

// Reads fd to its end, or stops one byte past the bound; "" or why not.
std::string ReadBounded(int fd, std::string& text) {
    std::array<char, 65536> buffer{};
    for (;;) {
        const size_t room = kMaxInputFileBytes + 1 - text.size();
        const ssize_t got = ::read(fd, buffer.data(), std::min(buffer.size(), room));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // A pipe left non-blocking by whoever set up standard input.
            pollfd wait{fd, POLLIN, 0};
            ::poll(&wait, 1, -1);
            continue;
        }
        if (got < 0) {
            return SystemError("it cannot be read");
        }
        if (got == 0) {
            return "";
        }
        text.append(buffer.data(), static_cast<size_t>(got));
        if (text.size() > kMaxInputFileBytes) {
            return kTooLarge;
        }
    }
}

std::string ReadStandardInput(std::string& text) {
    if (::isatty(STDIN_FILENO) == 1) {
        return "it is a terminal; give a file, or redirect one: - < FILE";
    }
    struct stat st {};
    if (::fstat(STDIN_FILENO, &st) != 0) {
        return SystemError("it cannot be read");
    }
    if (std::string why = KindRefusal(st.st_mode, true); !why.empty()) {
        return why;
    }
    return ReadBounded(STDIN_FILENO, text);
}

std::string ReadNamedFile(const std::string& path, std::string& text) {
    // Looked at before it is opened: opening a device node can act on it
    // (a serial line raises its modem lines), and a FIFO would wait for
    // a writer.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return SystemError("it cannot be opened");
    }
    if (std::string why = KindRefusal(st.st_mode, false); !why.empty()) {
        return why;
    }
    // Non-blocking and checked again once open: the path may have been
    // replaced meanwhile.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return SystemError("it cannot be opened");
    }
    std::string why;
    if (::fstat(fd, &st) != 0) {
        why = SystemError("it cannot be read");
    } else if (why = KindRefusal(st.st_mode, false); why.empty()) {
        why = static_cast<size_t>(st.st_size) > kMaxInputFileBytes ? kTooLarge
                                                                   : ReadBounded(fd, text);
    }
    ::close(fd);
    return why;
}

}  // namespace

InputFile ReadInputFile(const std::string& name) {
    InputFile file;
    const bool standardInput = name == "-";
    file.shown = standardInput ? "standard input" : EscapedText(name);
    file.why = standardInput ? ReadStandardInput(file.text) : ReadNamedFile(name, file.text);
    file.ok = file.why.empty();
    if (!file.ok) {
        file.text.clear();
    }
    return file;
}
