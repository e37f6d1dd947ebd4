#include "config/SettingsComparison.h"

#include "config/SettingNames.h"
#include "config/SettingTexts.h"

std::vector<SettingDifference> CompareSettings(const Configuration& a, const Configuration& b) {
    std::vector<SettingDifference> differences;
    for (const NamedSetting& s : kNamedSettings) {
        const int va = a.settings.*s.field;
        const int vb = b.settings.*s.field;
        if (va != vb) {
            differences.push_back(
                {s.key, std::string(CaptionOf(s)), ShownValueOf(s, va), ShownValueOf(s, vb)});
        }
    }
    for (const NamedCode& c : kNamedCodes) {
        const int va = a.codes[CodeSlotOf(c)];
        const int vb = b.codes[CodeSlotOf(c)];
        if (va != vb) {
            differences.push_back(
                {c.key, std::string(CaptionOf(c)), ShownCodeOf(va), ShownCodeOf(vb)});
        }
    }
    return differences;
}
