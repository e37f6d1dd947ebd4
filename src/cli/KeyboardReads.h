#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/UsLayout.h"

class QSocketNotifier;
struct libevdev;

// The input event nodes (/dev/input/event*) of the USB device whose hidraw
// node is hidrawPath: the reader's keyboard interface, on which it types its
// reads. Empty when there is none, or udev cannot tell.
std::vector<std::string> KeyboardNodesOf(const std::string& hidrawPath);

// The characters typed on one input event node, decoded in the US layout.
// The node is grabbed: its keys reach no window while it is open.
class KeyboardReads {
  public:
    enum class Opened {
        Ok,
        NoAccess,    // the node may not be opened by this user
        NotKeys,     // gone, or not an input device with keys
        NotGrabbed,  // another program holds it
    };

    explicit KeyboardReads(std::function<void(const std::string& character)> onCharacter);
    KeyboardReads(const KeyboardReads&) = delete;
    KeyboardReads& operator=(const KeyboardReads&) = delete;
    ~KeyboardReads();

    Opened Open(const std::string& path);
    // The node went away (the reader was unplugged) or failed.
    bool Gone() const { return gone_; }

  private:
    void ReadEvents();
    void Close();

    std::function<void(const std::string&)> onCharacter_;
    UsKeyboard keyboard_;
    int fd_ = -1;
    libevdev* device_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool gone_ = false;
};
