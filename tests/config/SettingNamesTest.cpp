#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "config/SettingNames.h"
#include "protocol/ConfigBlock.h"
#include "protocol/ControlIds.h"
#include "protocol/SettingsExchange.h"
#include "ui/ControlTable.h"

namespace {

// A label's letters and digits, upper case: "B/FC" gives "BFC", "No STX At
// Data Head " gives "NOSTXATDATAHEAD". A value name, its underscores
// dropped, begins the label it stands for.
std::string Letters(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80 && std::isalnum(u) != 0) {
            out += static_cast<char>(std::toupper(u));
        }
    }
    return out;
}

TEST(SettingNames, EverySettingAndCodeHasOneUniqueKey) {
    std::set<std::string> keys;
    std::vector<int32_t DeviceSettings::*> fields;
    for (const NamedSetting& s : kNamedSettings) {
        keys.insert(s.key);
        fields.push_back(s.field);
    }
    std::set<int> lists;
    for (const NamedCode& c : kNamedCodes) {
        keys.insert(c.key);
        lists.insert(c.listId);
    }
    EXPECT_EQ(keys.size(), kNamedSettings.size() + kNamedCodes.size());
    for (const SettingBinding& b : kSettingBindings) {
        EXPECT_EQ(std::count(fields.begin(), fields.end(), b.field), 1)
            << "setting bound to control " << b.controlId;
    }
    for (const CodeBinding& b : kCodeBindings) {
        EXPECT_EQ(lists.count(b.listId), 1u) << "code list " << b.listId;
    }
}

TEST(SettingNames, CaptionsAndLabelsAreTheFormsForEverySetting) {
    const std::vector<FormEntry> order = MainFormOrder();
    for (const NamedSetting& s : kNamedSettings) {
        const SettingBinding& binding = SettingBindingOf(s);
        const ControlSpec* caption = FindControl(s.captionId);
        ASSERT_NE(caption, nullptr) << s.key;
        EXPECT_EQ(CaptionOf(s), caption->label) << s.key;
        if (binding.kind == BindingKind::CheckBox) {
            EXPECT_EQ(s.captionId, binding.controlId) << s.key;
            EXPECT_TRUE(s.valueNames.empty()) << s.key;
            EXPECT_TRUE(RadioLabelsOf(s).empty()) << s.key;
            continue;
        }
        // A group is captioned by the frame that holds it.
        EXPECT_EQ(caption->kind, ControlKind::Frame) << s.key;
        const std::vector<int> framed = FrameContents(s.captionId);
        const std::vector<int> radios = RadioGroupMembers(order, binding.controlId);
        for (int id : radios) {
            EXPECT_TRUE(std::find(framed.begin(), framed.end(), id) != framed.end())
                << s.key << ": radio " << id << " lies outside frame " << s.captionId;
        }
        const std::vector<std::string_view> labels = RadioLabelsOf(s);
        ASSERT_EQ(labels.size(), radios.size()) << s.key;
        ASSERT_EQ(s.valueNames.size(), static_cast<size_t>(binding.valueCount)) << s.key;
        ASSERT_EQ(labels.size(), s.valueNames.size()) << s.key;
        for (size_t i = 0; i < labels.size(); ++i) {
            EXPECT_EQ(labels[i], FindControl(radios[i])->label) << s.key;
            const std::string name = Letters(s.valueNames[i]);
            EXPECT_EQ(Letters(labels[i]).rfind(name, 0), 0u)
                << s.key << ": " << s.valueNames[i] << " names \"" << labels[i] << "\"";
        }
    }
}

TEST(SettingNames, SomeCaptionsAndLabelsAsTheWindowShowsThem) {
    const struct {
        const char* key;
        const char* caption;
        std::vector<std::string_view> labels;
    } cases[] = {
        {"deviceType",
         "Device Type",
         {"CUSTOM", "MICR Reader", "Kelvra", "Dorrin", "Wexley", "Lomard机型", "Fennic",
          "Zorvane"}},
        {"checkCode", "Check Code", {"E13B Code", "CMC7 Code"}},
        {"msr2CodeType", "MSR2 Code", {"ABA1 Code", "ABA2 Code", "IATA Code"}},
        {"msr3Standard", "MSR3 Standards", {"ISO", "IBMF", "IBMC", "B/C", "B/FC", "DIN"}},
        {"checkStxAtHead", "Check Data Format", {"No STX At Data Head ", "STX At Data Head"}},
        {"msrErrorReturn", "MSR Data Format", {"Not Return When ERR", "All Data Return"}},
        {"track2Limit", "Track2", {}},
        {"msr1EndCodeOn", "MSR1 Data End   Code", {}},
        {"msrErrorCodeOn", "MSR  Data ERR   Code", {}},
        {"micrSeparator5On", "MICR Separate Code S5", {}},
    };
    for (const auto& c : cases) {
        const auto s =
            std::find_if(kNamedSettings.begin(), kNamedSettings.end(),
                         [&c](const NamedSetting& n) { return n.key == std::string(c.key); });
        ASSERT_NE(s, kNamedSettings.end()) << c.key;
        EXPECT_EQ(CaptionOf(*s), c.caption) << c.key;
        EXPECT_EQ(RadioLabelsOf(*s), c.labels) << c.key;
    }
}

TEST(SettingNames, EachCodeIsCaptionedByTheControlInFrontOfItsList) {
    const std::span<const ControlSpec> form = MainFormControls();
    for (const NamedCode& c : kNamedCodes) {
        const auto list = std::find_if(form.begin(), form.end(),
                                       [&c](const ControlSpec& s) { return s.id == c.listId; });
        ASSERT_NE(list, form.begin()) << c.key;
        ASSERT_NE(list, form.end()) << c.key;
        EXPECT_EQ(std::prev(list)->id, c.captionId) << c.key;
        EXPECT_EQ(CaptionOf(c), std::prev(list)->label) << c.key;
        EXPECT_EQ(kCodeBindings[CodeSlotOf(c)].listId, c.listId) << c.key;
    }
}

TEST(SettingNames, OnlyTheDeviceTypeIsOutsideTheBlocksBitFields) {
    for (const NamedSetting& s : kNamedSettings) {
        const bool packed = std::any_of(kBlockBits.begin(), kBlockBits.end(),
                                        [&s](const BlockBits& b) { return b.field == s.field; });
        EXPECT_EQ(s.inBlock, packed) << s.key;
        EXPECT_EQ(s.inBlock, s.field != &DeviceSettings::deviceType) << s.key;
    }
}

TEST(SettingNames, KeysOfTheCodesAndTheirCheckBoxesPair) {
    // "msr1StartCode" is switched by "msr1StartCodeOn", captioned alike.
    for (const NamedCode& c : kNamedCodes) {
        const std::string on = std::string(c.key) + "On";
        const auto s = std::find_if(kNamedSettings.begin(), kNamedSettings.end(),
                                    [&on](const NamedSetting& n) { return on == n.key; });
        if (c.listId == ctl::MicrErrorCodeList) {
            EXPECT_EQ(s, kNamedSettings.end());
            continue;
        }
        ASSERT_NE(s, kNamedSettings.end()) << c.key;
        EXPECT_EQ(s->captionId, c.captionId) << c.key;
    }
}

}  // namespace
