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

// A frame or a reply as a channel holds it: length bytes of a fixed buffer.
struct ExchangeBuffer {
    std::array<uint8_t, kExchangeBufferSize> bytes{};
    int32_t length = 0;

    void Clear() {
        bytes.fill(0);
        length = 0;
    }
};
