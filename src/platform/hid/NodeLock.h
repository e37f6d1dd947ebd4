#pragma once

#include <memory>
#include <string>

// An exclusive advisory lock (flock) on a device node, held for as long as
// the object lives. hidraw lets any number of programs open a node and
// their reports interleave; every program of ours takes this lock before
// it moves a report, so a second program is refused instead. The lock is
// the program's: opens of the same node within this program share it (a
// transfer may still hold the old handle while the node is opened anew).
class NodeLock {
  public:
    // The lock on path, or nullptr with error set to an errno value:
    // EWOULDBLOCK when another program holds the lock, else why the node
    // would not open (EACCES, ENOENT, ...).
    static std::unique_ptr<NodeLock> Take(const std::string& path, int& error);

    ~NodeLock();
    NodeLock(const NodeLock&) = delete;
    NodeLock& operator=(const NodeLock&) = delete;

  private:
    explicit NodeLock(int slot) : slot_(slot) {}
    int slot_;  // the program's entry for the node
};
