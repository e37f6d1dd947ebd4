#include "config/Configuration.h"

CodeValues DecodeBlockCodes(std::span<const uint8_t, kConfigBlockSize> block) {
    CodeValues codes{};
    for (size_t i = 0; i < kCodeBindings.size(); ++i) {
        const int byte = block[static_cast<size_t>(kCodeBindings[i].blockByte)];
        codes[i] = CodeValueFromIndex(CodeIndexFromValue(byte));
    }
    return codes;
}

void EncodeBlockCodes(const CodeValues& codes, std::span<uint8_t, kConfigBlockSize> block) {
    for (size_t i = 0; i < kCodeBindings.size(); ++i) {
        block[static_cast<size_t>(kCodeBindings[i].blockByte)] =
            static_cast<uint8_t>(CodeValueFromIndex(CodeIndexFromValue(codes[i])));
    }
}

Configuration DecodeConfiguration(const ConfigBlock& block) {
    Configuration c;
    DecodeBlockSettings(block, c.settings);
    c.codes = DecodeBlockCodes(block);
    return c;
}

ConfigBlock EncodeConfiguration(const Configuration& configuration, const ConfigBlock& reported) {
    ConfigBlock block = reported;
    EncodeBlockSettings(configuration.settings, block);
    EncodeBlockCodes(configuration.codes, block);
    return block;
}
