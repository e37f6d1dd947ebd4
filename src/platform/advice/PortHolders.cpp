#include "platform/advice/PortHolders.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/advice/LockHolders.h"

namespace {

namespace fs = std::filesystem;

std::string CommandName(const fs::path& process) {
    char name[64] = "?";
    if (FILE* comm = std::fopen((process / "comm").c_str(), "r"); comm != nullptr) {
        if (std::fgets(name, sizeof name, comm) != nullptr) {
            name[std::strcspn(name, "\n")] = '\0';
        }
        std::fclose(comm);
    }
    return name;
}

std::string Named(const std::vector<std::string>& pids) {
    std::string holders;
    for (const std::string& pid : pids) {
        holders +=
            (holders.empty() ? "" : ", ") + CommandName(fs::path("/proc") / pid) + " (" + pid + ")";
    }
    return holders;
}

// The processes that hold a lock on the file: both programs lock what they
// open, and the lock table shows every user's holders.
std::vector<std::string> LockingProcesses(const std::string& path) {
    struct stat file {};
    if (::stat(path.c_str(), &file) != 0) {
        return {};
    }
    std::ifstream table("/proc/locks");
    std::stringstream text;
    text << table.rdbuf();
    std::vector<std::string> pids;
    for (const pid_t pid : LockHolderPids(text.str(), file.st_dev, file.st_ino)) {
        pids.push_back(std::to_string(pid));
    }
    return pids;
}

// The processes with the file open, as far as this user may look into them.
std::vector<std::string> OpeningProcesses(const std::string& path) {
    std::error_code ec;
    const fs::path target = fs::canonical(path, ec);
    std::vector<std::string> pids;
    for (const fs::directory_entry& proc : fs::directory_iterator("/proc", ec)) {
        const std::string pid = proc.path().filename();
        if (!std::all_of(pid.begin(), pid.end(), ::isdigit)) {
            continue;
        }
        std::error_code fdError;
        for (const fs::directory_entry& fd : fs::directory_iterator(proc.path() / "fd", fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd.path(), linkError) == target) {
                pids.push_back(pid);
                break;
            }
        }
    }
    return pids;
}

}  // namespace

std::string PortHolders(const std::string& path) {
    // Another program may hold the port without a lock (the line's exclusive
    // flag alone): then whoever has it open is named.
    const std::vector<std::string> locking = LockingProcesses(path);
    return Named(locking.empty() ? OpeningProcesses(path) : locking);
}
