#pragma once

#include <dirent.h>

#include <string>

#include "channels/usb/TimerObject.h"

// What the process holds: open descriptors, threads, running timer objects.
struct ResourceCount {
    int descriptors = 0;
    int threads = 0;
    int timerObjects = 0;

    static int Entries(const char* directory) {
        int count = 0;
        if (DIR* dir = ::opendir(directory)) {
            while (::readdir(dir) != nullptr) {
                ++count;
            }
            ::closedir(dir);
        }
        return count;
    }

    static ResourceCount Now() {
        return {Entries("/proc/self/fd"), Entries("/proc/self/task"), RunningTimerObjects()};
    }

    bool operator==(const ResourceCount&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ResourceCount& r) {
    return out << r.descriptors << " descriptors, " << r.threads << " threads, " << r.timerObjects
               << " timer objects";
}
