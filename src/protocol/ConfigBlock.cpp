#include "protocol/ConfigBlock.h"

namespace {

constexpr int Mask(int width) {
    return (1 << width) - 1;
}

}  // namespace

void EncodeBlockSettings(const DeviceSettings& settings,
                         std::span<uint8_t, kConfigBlockSize> block) {
    block[0] = kCustomDigit;
    for (const SettingRow& row : kSettings) {
        if (!row.place.digit) {
            block[static_cast<size_t>(row.place.byte)] = 0;
        }
    }
    for (const SettingRow& row : kSettings) {
        const BlockPlace& p = row.place;
        if (p.digit) {
            continue;
        }
        int value = settings.*row.field;
        if (p.inverted) {
            value = value == 0 ? 1 : 0;
        }
        uint8_t& target = block[static_cast<size_t>(p.byte)];
        target = static_cast<uint8_t>(target | ((value & Mask(p.width)) << p.shift));
    }
}

void DecodeBlockSettings(std::span<const uint8_t, kConfigBlockSize> block,
                         DeviceSettings& settings) {
    for (const SettingRow& row : kSettings) {
        const BlockPlace& p = row.place;
        const int byte = block[static_cast<size_t>(p.byte)];
        if (p.digit) {
            settings.*row.field = byte - kCustomDigit;
            continue;
        }
        const int value = (byte >> p.shift) & Mask(p.width);
        settings.*row.field = p.inverted ? (value == 0 ? 1 : 0) : value;
    }
}

const SettingRow* ConfigBlockFault(std::span<const uint8_t, kConfigBlockSize> block) {
    DeviceSettings settings;
    DecodeBlockSettings(block, settings);
    for (const SettingRow& row : kSettings) {
        if (!IsChoice(row, settings.*row.field)) {
            return &row;
        }
    }
    return nullptr;
}
