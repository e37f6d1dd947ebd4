#include "platform/advice/LockHolders.h"

#include <sys/sysmacros.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>

namespace {

// One line of the table: "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF";
// a waiter has "->" after the number. The file is MAJOR:MINOR:INODE, the
// device numbers in hex.
bool HolderOf(const std::string& line, dev_t device, ino_t inode, pid_t& pid) {
    char kind[16] = "";
    char mode[16] = "";
    char access[16] = "";
    long holder = 0;
    unsigned major = 0;
    unsigned minor = 0;
    uintmax_t number = 0;
    int fields = std::sscanf(line.c_str(), "%*d: %15s %15s %15s %ld %x:%x:%" SCNuMAX, kind, mode,
                             access, &holder, &major, &minor, &number);
    if (fields != 7 || std::string_view(kind) == "->") {
        return false;
    }
    pid = static_cast<pid_t>(holder);
    // A holder outside this program's view of processes shows as 0 or -1.
    return holder > 0 && major == ::major(device) && minor == ::minor(device) &&
           number == static_cast<uintmax_t>(inode);
}

}  // namespace

std::vector<pid_t> LockHolderPids(std::string_view locks, dev_t device, ino_t inode) {
    std::vector<pid_t> pids;
    size_t start = 0;
    while (start < locks.size()) {
        size_t end = locks.find('\n', start);
        if (end == std::string_view::npos) {
            end = locks.size();
        }
        pid_t pid = 0;
        if (HolderOf(std::string(locks.substr(start, end - start)), device, inode, pid) &&
            std::find(pids.begin(), pids.end(), pid) == pids.end()) {
            pids.push_back(pid);
        }
        start = end + 1;
    }
    return pids;
}
