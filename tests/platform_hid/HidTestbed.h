#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Fake USB HID devices in a umockdev testbed, for tests that run the real
// hidapi, sysfs and ioctl code under the umockdev preload. The testbed and its
// devices live as long as the object.

using Bytes = std::vector<uint8_t>;

struct FakeUsbHid {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t release = 0;
    std::string manufacturer;
    std::string product;
    Bytes descriptor;
    bool descriptorInSysfs = true;  // else only the node's ioctl gives it
};

// The device behind one hidraw node. umockdev's own thread answers the
// node's ioctls, reads and writes from it, under the lock.
struct FakeHidNode {
    struct State {
        Bytes descriptor;
        Bytes featureReport;  // id byte included; none: the device stalls
        std::deque<Bytes> inputReports;
        std::vector<Bytes> featuresSent;
        std::vector<Bytes> featureRequests;  // buffers as handed to the get
        std::vector<Bytes> outputsWritten;
        // Called under the lock with each feature report sent, id byte
        // included: a device that answers commands sets its reply here.
        std::function<void(State&, const Bytes& sent)> onFeatureSent;
    };

    template <typename Use>
    auto Locked(Use use) {
        std::lock_guard lock(mutex);
        return use(state);
    }

    // Holds every feature transfer until let go, as a reader that takes its
    // time does (a held transfer goes on by itself after ten seconds).
    void HoldFeatures();
    void LetGo();
    // Makes every feature transfer take this long, as a slow reader does.
    void SlowFeatures(std::chrono::milliseconds delay);
    int HeldTransfers();
    // Called by the node's thread before it answers a feature transfer.
    void PassHold();

    std::mutex mutex;
    State state;

  private:
    std::condition_variable holdChanged_;
    bool held_ = false;
    std::chrono::milliseconds delay_{0};
    int heldTransfers_ = 0;
};

class HidTestbed {
  public:
    HidTestbed();
    ~HidTestbed();
    HidTestbed(const HidTestbed&) = delete;
    HidTestbed& operator=(const HidTestbed&) = delete;

    // Whether the program runs under the umockdev preload.
    bool Active() const;

    // Adds a USB device with one HID interface and its hidraw node; returns
    // the node's path ("/dev/hidrawN"), or "" after reporting a test failure.
    std::string Add(const FakeUsbHid& device);
    FakeHidNode* Node(const std::string& path);
    // Announces the node's removal and takes its device out of the tree.
    bool Remove(const std::string& path);
    // Announces an event of the node again ("add", "change", ...), as the
    // system repeats them in a burst.
    bool Announce(const std::string& path, const char* action);

    // Takes every permission off the node, so that a process that cannot
    // pass over file permissions (see DropFilePermissionOverride) can read
    // sysfs but cannot open the node.
    bool MakeNodeInaccessible(const std::string& path);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Gives up every capability of the calling process, root's power to pass
// over file permissions among them, for itself and the programs it starts,
// while it stays the same user. Files then
// answer by their owner bits, so a node without permissions cannot be opened
// even by root, and everything else the user made stays readable: unlike a
// change to another user, this does not depend on the umask or on where the
// testbed and the build lie. Safe to call in a child between fork and exec.
bool DropFilePermissionOverride();
