#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

// A property that every input must keep. A broken one aborts, so that
// libFuzzer keeps the input and prints the stack.
#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

// Takes the fuzz input apart front to back; past its end every read gives 0.
class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : bytes_(data, size) {}

    bool Empty() const { return pos_ >= bytes_.size(); }
    size_t Left() const { return bytes_.size() - pos_; }

    uint8_t Byte() { return Empty() ? 0 : bytes_[pos_++]; }
    uint16_t Word() {
        const uint16_t low = Byte();
        return static_cast<uint16_t>(low | (Byte() << 8));
    }
    // Up to count bytes, fewer at the end of the input.
    std::span<const uint8_t> Bytes(size_t count) {
        const size_t n = count < Left() ? count : Left();
        const std::span<const uint8_t> taken = bytes_.subspan(pos_, n);
        pos_ += n;
        return taken;
    }
    std::span<const uint8_t> Rest() { return Bytes(Left()); }

  private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};
