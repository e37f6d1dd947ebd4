#include "channels/common/ReadBurst.h"

#include "channels/common/ExchangeBuffers.h"

bool ReadBurst::IsFraming(std::string_view character) {
    if (character.size() != 1) {
        return false;
    }
    const char c = character[0];
    return c == '\x02' || c == '\x03' || c == '\n' || c == '\r' || c == '\x1b';
}

std::string ReadBurst::CharacterOf(uint8_t byte) {
    if (byte < 0x80) {
        return std::string(1, static_cast<char>(byte));
    }
    return {static_cast<char>(0xC0 | (byte >> 6)), static_cast<char>(0x80 | (byte & 0x3F))};
}

bool ReadBurst::Begin() {
    if (active_) {
        return false;
    }
    text_.clear();
    active_ = true;
    return true;
}

bool ReadBurst::Add(std::string_view character) {
    if (IsFraming(character)) {
        return false;
    }
    if (text_.size() < kMaxReadTextBytes) {
        text_ += character;
    }
    return true;
}

bool ReadBurst::End() {
    const bool wasActive = active_;
    active_ = false;
    return wasActive;
}
