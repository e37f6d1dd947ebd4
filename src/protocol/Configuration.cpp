#include "protocol/Configuration.h"

CodeValues DecodeBlockCodes(std::span<const uint8_t, kConfigBlockSize> block) {
    CodeValues codes{};
    for (size_t i = 0; i < kCodes.size(); ++i) {
        const int byte = block[static_cast<size_t>(kCodes[i].blockByte)];
        codes[i] = IsCodeByte(byte) ? byte : 0;
    }
    return codes;
}

void EncodeBlockCodes(const CodeValues& codes, std::span<uint8_t, kConfigBlockSize> block) {
    for (size_t i = 0; i < kCodes.size(); ++i) {
        block[static_cast<size_t>(kCodes[i].blockByte)] =
            static_cast<uint8_t>(IsCodeByte(codes[i]) ? codes[i] : 0);
    }
}

Configuration DecodeConfiguration(std::span<const uint8_t, kConfigBlockSize> block) {
    Configuration c;
    DecodeBlockSettings(block, c.settings);
    c.codes = DecodeBlockCodes(block);
    c.reserved = ReservedBytes{block[kFirstReservedByte], block[kFirstReservedByte + 1]};
    return c;
}

ConfigBlock EncodeConfiguration(const Configuration& configuration) {
    ConfigBlock block{};
    EncodeBlockSettings(configuration.settings, block);
    EncodeBlockCodes(configuration.codes, block);
    if (configuration.reserved) {
        block[kFirstReservedByte] = (*configuration.reserved)[0];
        block[kFirstReservedByte + 1] = (*configuration.reserved)[1];
    }
    return block;
}
