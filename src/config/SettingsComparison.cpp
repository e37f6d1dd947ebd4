#include "config/SettingsComparison.h"

#include "config/SettingTexts.h"
#include "form/SettingCaptions.h"

std::vector<SettingDifference> CompareSettings(const Configuration& a, const Configuration& b) {
    std::vector<SettingDifference> differences;
    for (const SettingRow& s : kSettings) {
        const int va = a.settings.*s.field;
        const int vb = b.settings.*s.field;
        if (va != vb) {
            differences.push_back(
                {s.key, std::string(CaptionOf(s)), ShownValueOf(s, va), ShownValueOf(s, vb)});
        }
    }
    for (size_t i = 0; i < kCodes.size(); ++i) {
        const CodeRow& c = kCodes[i];
        const int va = a.codes[i];
        const int vb = b.codes[i];
        if (va != vb) {
            differences.push_back(
                {c.key, std::string(CaptionOf(c)), ShownCodeOf(va), ShownCodeOf(vb)});
        }
    }
    return differences;
}
