#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

// Opens a serial line as a user without root's power over the exclusive
// flag would, and gives 0 or the open's errno. Run as root, the open is
// made by a child that became the user "nobody" (the line is opened up to
// it first); otherwise by this process, which is such a user already.
inline int OpenAsOrdinaryUser(const std::string& path) {
    if (::geteuid() != 0) {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        const int error = fd >= 0 ? 0 : errno;
        if (fd >= 0) {
            ::close(fd);
        }
        return error;
    }
    ::chmod(path.c_str(), 0666);
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            ::_exit(255);
        }
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ::_exit(fd >= 0 ? 0 : errno);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}
