#include "config/SettingsDescription.h"

#include "config/SettingTexts.h"
#include "form/SettingCaptions.h"
#include "protocol/HexText.h"

std::string DescribeSettings(const DeviceSettings& settings, const CodeValues& codes,
                             const ConfigBlock& raw) {
    std::string text = "Settings:\n";
    for (const SettingRow& s : kSettings) {
        text += "  " + std::string(CaptionOf(s)) + " (" + s.key +
                "): " + ShownValueOf(s, settings.*s.field) + "\n";
    }
    text += "Codes:\n";
    for (size_t i = 0; i < kCodes.size(); ++i) {
        text += "  " + std::string(CaptionOf(kCodes[i])) + " (" + kCodes[i].key +
                "): " + ShownCodeOf(codes[i]) + "\n";
    }
    text += "Block: " + HexBytes(raw) + "\n";
    return text;
}
