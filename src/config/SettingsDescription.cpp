#include "config/SettingsDescription.h"

#include "config/SettingNames.h"
#include "config/SettingTexts.h"

std::string DescribeSettings(const DeviceSettings& settings, const CodeValues& codes,
                             const ConfigBlock& raw) {
    std::string text = "Settings:\n";
    for (const NamedSetting& s : kNamedSettings) {
        text += "  " + std::string(CaptionOf(s)) + ": " + ShownValueOf(s, settings.*s.field) + "\n";
    }
    text += "Codes:\n";
    for (const NamedCode& c : kNamedCodes) {
        text += "  " + std::string(CaptionOf(c)) + ": " + ShownCodeOf(codes[CodeSlotOf(c)]) + "\n";
    }
    text += "Block: " + BlockHexOf(raw) + "\n";
    return text;
}
