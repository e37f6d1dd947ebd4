#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr int kExchangeBufferSize = 1024;

// The most of one cheque or card read that is kept, in bytes of its text.
// A cheque's code line is under 70 characters and three card tracks under
// 230; 4 KiB holds any real read many times over (and is what the window
// shows while a read arrives), while a line that never pauses cannot grow
// the program without bound. Characters past it still belong to the read.
inline constexpr size_t kMaxReadTextBytes = 4096;

// The one outgoing frame. A non-zero length means a frame is pending; the
// channel sets it back to 0 when it takes the frame.
struct CommandFrame {
    std::array<uint8_t, kExchangeBufferSize> bytes{};
    int32_t length = 0;
};

// The reader's reply, as the channel gathered it.
struct ReplyBuffer {
    std::array<uint8_t, kExchangeBufferSize> bytes{};
    int32_t length = 0;
};

// The program's exchange state, used on the window's thread only.
struct ExchangeState {
    CommandFrame commandFrame;
    ReplyBuffer replyBuffer;
    // 1 when the pending frame came from Send Cmd, 0 when it is the
    // configuration read request: tells how the reply is read.
    int32_t frameFromSendCmd = 0;
    // Index 0 to 8 of the chosen command, -1 while none is chosen.
    int32_t commandType = -1;
};
