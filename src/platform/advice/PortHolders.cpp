#include "platform/advice/PortHolders.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

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

}  // namespace

std::string PortHolders(const std::string& path) {
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
                holders +=
                    (holders.empty() ? "" : ", ") + CommandName(proc.path()) + " (" + pid + ")";
                break;
            }
        }
    }
    return holders;
}
