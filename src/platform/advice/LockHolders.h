#pragma once

#include <sys/types.h>
#include <string_view>
#include <vector>

// The processes that hold a lock on the file of this device and inode, read
// from the text of /proc/locks, in its order; processes waiting for the
// lock do not hold it. Unlike a process's open files, the lock table is
// open to every user, so a holder of another user is found too.
std::vector<pid_t> LockHolderPids(std::string_view locks, dev_t device, ino_t inode);
