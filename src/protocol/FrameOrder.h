#pragma once

#include <cstdint>
#include <vector>

// How a reply is read: the reply to the configuration read request is
// decoded into a configuration; any other reply only says how its command
// went.
enum class ReplyUse { Configuration, Status };

// What the window's steps ask of the exchanges when a command is chosen or
// Send Cmd is pressed. Every order forgets the reply gathered so far and
// says how the next reply is read, also one already awaited; the frame
// pending for the next poll is kept, dropped or replaced.
struct FrameOrder {
    enum class Action { Keep, Drop, Send };
    Action action = Action::Keep;
    std::vector<uint8_t> frame;  // for Send
    ReplyUse use = ReplyUse::Status;
};
