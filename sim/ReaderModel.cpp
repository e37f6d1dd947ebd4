#include "ReaderModel.h"

#include "protocol/CommandSet.h"

namespace {

constexpr uint8_t kAck[] = {kEsc, '0'};
constexpr uint8_t kRefusal[] = {kEsc, '1'};
constexpr uint8_t kGarbage[] = {0x06, 0x15, 'z', 0x00, 0xFF};

// Frame lengths by command letter: ESC and the letter, plus the payload.
int LengthOf(uint8_t letter) {
    switch (letter) {
        case 'U':
        case 'e':
        case 'R':
            return 2;
        case 'A':
        case 'B':
        case 'C':
        case 'D':
        case 'E':
        case 'F':
        case 'G':
            return 3;
        case 'S':
            return 2 + kConfigBlockSize;
        default:
            return 2;
    }
}

std::optional<int> Digit(uint8_t d, int highest) {
    const int value = d - '0';
    return value >= 0 && value <= highest ? std::optional<int>(value) : std::nullopt;
}

void SetBits(uint8_t& byte, int shift, int width, int value) {
    const int mask = ((1 << width) - 1) << shift;
    byte = static_cast<uint8_t>((byte & ~mask) | ((value << shift) & mask));
}

}  // namespace

ReaderModel::ReaderModel() : config_(DefaultConfig()) {}

ConfigBlock ReaderModel::DefaultConfig() {
    // CUSTOM; E13B with all data returned and CR LF at the end; separators
    // 'A' to 'E' in use, '?' for a misread character; tracks 1 IATA, 2 and
    // 3 ABA, all read, with their usual start and end sentinels.
    return {'0', 0x43, 'A',  'B',  'C',  'D',  'E', '?', 0x20, 0x00, 0x10, 0x07,
            '*', 0x00, 0x12, 0x34, 0x23, 0x3F, '%', '?', ';',  '?',  ';',  '?'};
}

int ReaderModel::FrameLength(uint8_t letter) {
    return LengthOf(letter);
}

std::vector<uint8_t> ReaderModel::HandleFrame(std::span<const uint8_t> frame) {
    if (faults.silent) {
        return {};
    }
    if (faults.garbage) {
        return {std::begin(kGarbage), std::end(kGarbage)};
    }
    if (faults.refuse || frame.size() < 2 || frame[0] != kEsc) {
        return {std::begin(kRefusal), std::end(kRefusal)};
    }
    if (frame[1] == 'R') {
        return {config_.begin(), config_.end()};
    }
    if (!Apply(frame)) {
        return {std::begin(kRefusal), std::end(kRefusal)};
    }
    return {std::begin(kAck), std::end(kAck)};
}

bool ReaderModel::Apply(std::span<const uint8_t> frame) {
    const uint8_t letter = frame[1];
    if (static_cast<int>(frame.size()) != LengthOf(letter)) {
        return false;
    }
    const uint8_t payload = frame.size() > 2 ? frame[2] : 0;
    switch (letter) {
        case 'U':
            config_ = DefaultConfig();
            return true;
        case 'e':
            return true;
        case 'S':
            if (frame[2] != '0') {
                return false;
            }
            std::copy(frame.begin() + 2, frame.end(), config_.begin());
            return true;
        case 'A':
            if (auto type = Digit(payload, 7); type && *type >= 1) {
                config_[0] = payload;
                return true;
            }
            return false;
        case 'B':
            if (auto code = Digit(payload, 1)) {
                SetBits(config_[1], 7, 1, *code);
                return true;
            }
            return false;
        case 'C':
        case 'D':
        case 'E':
            if (auto standard = Digit(payload, 5)) {
                SetBits(config_[static_cast<size_t>(8 + letter - 'C')], 0, 3, *standard);
                return true;
            }
            return false;
        case 'F':
            if ((payload & 0xC0) != 0) {
                return false;
            }
            for (int track = 0; track < 3; ++track) {
                if (((payload >> (2 * track)) & 3) > 2) {
                    return false;
                }
            }
            for (int track = 0; track < 3; ++track) {
                SetBits(config_[static_cast<size_t>(8 + track)], 4, 2,
                        (payload >> (2 * track)) & 3);
            }
            return true;
        case 'G':
            if (auto tracks = Digit(payload, 7)) {
                config_[11] = static_cast<uint8_t>(*tracks);
                return true;
            }
            return false;
        default:
            return false;
    }
}

std::vector<std::vector<uint8_t>> FrameAssembler::Add(std::span<const uint8_t> bytes) {
    std::vector<std::vector<uint8_t>> frames;
    for (uint8_t b : bytes) {
        if (pending_.empty() && b != kEsc) {
            continue;  // a frame begins with ESC
        }
        pending_.push_back(b);
        if (pending_.size() >= 2 &&
            static_cast<int>(pending_.size()) == ReaderModel::FrameLength(pending_[1])) {
            frames.push_back(std::move(pending_));
            pending_.clear();
        }
    }
    return frames;
}
