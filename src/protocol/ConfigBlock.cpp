#include "protocol/ConfigBlock.h"

namespace {
using S = DeviceSettings;
constexpr bool kPlain = false;
constexpr bool kInverted = true;
constexpr uint8_t kCustomDigit = '0';
}  // namespace

// clang-format off
const std::array<BlockBits, kBlockBitsCount> kBlockBits = {{
    // byte 1: cheque data format
    {&S::checkCode, 1, 7, 1, kPlain},
    {&S::checkErrorReturn, 1, 6, 1, kPlain},
    {&S::checkSpaceHandle, 1, 5, 1, kPlain},
    {&S::checkStxAtHead, 1, 4, 1, kPlain},
    {&S::checkEscAtHead, 1, 3, 1, kPlain},
    {&S::checkEtxAtEnd, 1, 2, 1, kPlain},
    {&S::checkCrAtEnd, 1, 1, 1, kPlain},
    {&S::checkLfAtEnd, 1, 0, 1, kPlain},
    // bytes 8 to 10: standard and code type of each track
    {&S::msr1Standard, 8, 0, 3, kPlain},
    {&S::msr1CodeType, 8, 4, 2, kPlain},
    {&S::msr2Standard, 9, 0, 3, kPlain},
    {&S::msr2CodeType, 9, 4, 2, kPlain},
    {&S::msr3Standard, 10, 0, 3, kPlain},
    {&S::msr3CodeType, 10, 4, 2, kPlain},
    // byte 11: read limit
    {&S::track1Limit, 11, 0, 1, kPlain},
    {&S::track2Limit, 11, 1, 1, kPlain},
    {&S::track3Limit, 11, 2, 1, kPlain},
    // byte 13: code-off flags
    {&S::separator1On, 13, 0, 1, kInverted},
    {&S::separator2On, 13, 1, 1, kInverted},
    {&S::separator3On, 13, 2, 1, kInverted},
    {&S::separator4On, 13, 3, 1, kInverted},
    {&S::separator5On, 13, 4, 1, kInverted},
    {&S::msrErrorCodeOn, 13, 7, 1, kInverted},
    // byte 16: MSR data format
    {&S::msrErrorReturn, 16, 5, 1, kPlain},
    {&S::msrStxAtHead, 16, 4, 1, kPlain},
    {&S::msrEscAtHead, 16, 3, 1, kPlain},
    {&S::msrEtxAtEnd, 16, 2, 1, kPlain},
    {&S::msrCrAtEnd, 16, 1, 1, kPlain},
    {&S::msrLfAtEnd, 16, 0, 1, kPlain},
    // byte 17: start and end codes in use
    {&S::msr1StartCodeOn, 17, 0, 1, kPlain},
    {&S::msr1EndCodeOn, 17, 1, 1, kPlain},
    {&S::msr2StartCodeOn, 17, 2, 1, kPlain},
    {&S::msr2EndCodeOn, 17, 3, 1, kPlain},
    {&S::msr3StartCodeOn, 17, 4, 1, kPlain},
    {&S::msr3EndCodeOn, 17, 5, 1, kPlain},
}};
// clang-format on

namespace {
int ValueCountOf(int32_t DeviceSettings::*field) {
    for (const SettingBinding& b : kSettingBindings) {
        if (b.field == field) {
            return b.valueCount;
        }
    }
    return 0;
}

constexpr int Mask(int width) {
    return (1 << width) - 1;
}
constexpr bool IsFieldByte(int byte) {
    return byte == 1 || (byte >= 8 && byte <= 11) || byte == 13 || byte == 16 || byte == 17;
}
}  // namespace

void EncodeBlockSettings(const DeviceSettings& settings,
                         std::span<uint8_t, kConfigBlockSize> block) {
    block[0] = kCustomDigit;
    for (int byte = 0; byte < kConfigBlockSize; ++byte) {
        if (IsFieldByte(byte)) {
            block[static_cast<size_t>(byte)] = 0;
        }
    }
    for (const BlockBits& b : kBlockBits) {
        int value = settings.*b.field;
        if (b.inverted) {
            value = value == 0 ? 1 : 0;
        }
        uint8_t& target = block[static_cast<size_t>(b.byte)];
        target = static_cast<uint8_t>(target | ((value & Mask(b.width)) << b.shift));
    }
}

void DecodeBlockSettings(std::span<const uint8_t, kConfigBlockSize> block,
                         DeviceSettings& settings) {
    settings.deviceType = block[0] - kCustomDigit;
    for (const BlockBits& b : kBlockBits) {
        const int value = (block[static_cast<size_t>(b.byte)] >> b.shift) & Mask(b.width);
        settings.*b.field = b.inverted ? (value == 0 ? 1 : 0) : value;
    }
}

int32_t DeviceSettings::*ConfigBlockFault(std::span<const uint8_t, kConfigBlockSize> block) {
    DeviceSettings settings;
    DecodeBlockSettings(block, settings);
    if (settings.deviceType < 0 || settings.deviceType >= ValueCountOf(&S::deviceType)) {
        return &S::deviceType;
    }
    for (const BlockBits& b : kBlockBits) {
        if (settings.*b.field >= ValueCountOf(b.field)) {
            return b.field;
        }
    }
    return nullptr;
}
