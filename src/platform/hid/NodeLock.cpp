#include "platform/hid/NodeLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <vector>

namespace {

// One locked node of this program: the descriptor that holds the lock and
// how many opens use it. A node is known by its device and inode, whatever
// path named it.
struct Held {
    dev_t device = 0;
    ino_t inode = 0;
    int fd = -1;
    int users = 0;
};

// Devices are closed on the transfer thread too: the table is shared.
std::mutex& TableMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<Held>& Table() {
    static std::vector<Held> table;
    return table;
}

int Errno() {
    return errno != 0 ? errno : EIO;
}

}  // namespace

std::unique_ptr<NodeLock> NodeLock::Take(const std::string& path, int& error) {
    // Read-only is enough to hold a lock and opens no more than hidapi will.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = Errno();
        return nullptr;
    }
    struct stat node {};
    if (::fstat(fd, &node) != 0) {
        error = Errno();
        ::close(fd);
        return nullptr;
    }
    const std::lock_guard guard(TableMutex());
    std::vector<Held>& table = Table();
    for (size_t slot = 0; slot < table.size(); ++slot) {
        Held& held = table[slot];
        if (held.users > 0 && held.device == node.st_dev && held.inode == node.st_ino) {
            ::close(fd);
            ++held.users;
            return std::unique_ptr<NodeLock>(new NodeLock(static_cast<int>(slot)));
        }
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = Errno();
        ::close(fd);
        return nullptr;
    }
    size_t slot = 0;
    while (slot < table.size() && table[slot].users > 0) {
        ++slot;
    }
    if (slot == table.size()) {
        table.emplace_back();
    }
    table[slot] = Held{node.st_dev, node.st_ino, fd, 1};
    error = 0;
    return std::unique_ptr<NodeLock>(new NodeLock(static_cast<int>(slot)));
}

NodeLock::~NodeLock() {
    const std::lock_guard guard(TableMutex());
    Held& held = Table()[static_cast<size_t>(slot_)];
    if (--held.users == 0) {
        ::close(held.fd);  // releases the lock
        held.fd = -1;
    }
}
