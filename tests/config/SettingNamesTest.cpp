#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "form/ControlIds.h"
#include "form/ControlTable.h"
#include "form/FormBindings.h"
#include "form/SettingCaptions.h"
#include "form/SettingsExchange.h"
#include "protocol/ConfigBlock.h"
#include "protocol/SettingTable.h"

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
    for (const SettingRow& s : kSettings) {
        keys.insert(s.key);
        fields.push_back(s.field);
        EXPECT_EQ(FindSetting(s.key), &s) << s.key;
    }
    std::set<int> lists;
    std::set<int> bytes;
    for (const CodeRow& c : kCodes) {
        keys.insert(c.key);
        lists.insert(BindingOf(c).listId);
        bytes.insert(c.blockByte);
        EXPECT_EQ(FindCode(c.key), &c) << c.key;
    }
    EXPECT_EQ(keys.size(), kSettings.size() + kCodes.size());
    EXPECT_EQ(lists.size(), kCodes.size());
    EXPECT_EQ(bytes.size(), kCodes.size());
    EXPECT_EQ(FindSetting("msr1StartCode"), nullptr);
    EXPECT_EQ(FindCode("msr1StartCodeOn"), nullptr);
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
    for (const SettingRow& s : kSettings) {
        const SettingBinding& binding = BindingOf(s);
        const ControlSpec* caption = FindControl(binding.captionId);
        ASSERT_NE(caption, nullptr) << s.key;
        EXPECT_EQ(CaptionOf(s), caption->label) << s.key;
        if (binding.kind == BindingKind::CheckBox) {
            EXPECT_EQ(binding.captionId, binding.controlId) << s.key;
            EXPECT_TRUE(s.valueNames.empty()) << s.key;
            EXPECT_TRUE(RadioLabelsOf(s).empty()) << s.key;
            continue;
        }
        // A group is captioned by the frame that holds it.
        EXPECT_EQ(caption->kind, ControlKind::Frame) << s.key;
        const std::vector<int> framed = FrameContents(binding.captionId);
        const std::vector<int> radios = RadioGroupMembers(order, binding.controlId);
        for (int id : radios) {
            EXPECT_TRUE(std::find(framed.begin(), framed.end(), id) != framed.end())
                << s.key << ": radio " << id << " lies outside frame " << binding.captionId;
        }
        const std::vector<std::string_view> labels = RadioLabelsOf(s);
        ASSERT_EQ(labels.size(), radios.size()) << s.key;
        ASSERT_EQ(s.valueNames.size(), static_cast<size_t>(ValueCountOf(s))) << s.key;
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
        const SettingRow* s = FindSetting(c.key);
        ASSERT_NE(s, nullptr) << c.key;
        EXPECT_EQ(CaptionOf(*s), c.caption) << c.key;
        EXPECT_EQ(RadioLabelsOf(*s), c.labels) << c.key;
    }
}

TEST(SettingNames, EachCodeIsCaptionedByTheControlInFrontOfItsList) {
    const std::span<const ControlSpec> form = MainFormControls();
    for (const CodeRow& c : kCodes) {
        const CodeBinding& b = BindingOf(c);
        const auto list = std::find_if(form.begin(), form.end(),
                                       [&b](const ControlSpec& s) { return s.id == b.listId; });
        ASSERT_NE(list, form.begin()) << c.key;
        ASSERT_NE(list, form.end()) << c.key;
        EXPECT_EQ(std::prev(list)->id, b.captionId) << c.key;
        EXPECT_EQ(CaptionOf(c), std::prev(list)->label) << c.key;
    }
}

TEST(SettingNames, OnlyTheDeviceTypeIsOutsideTheBlocksBitFields) {
    // No two settings share a bit, and no setting sits on a code byte or on
    // bytes 14 and 15.
    std::array<uint8_t, kConfigBlockSize> used{};
    for (const CodeRow& c : kCodes) {
        used[static_cast<size_t>(c.blockByte)] = 0xFF;
    }
    used[kFirstReservedByte] = used[kFirstReservedByte + 1] = 0xFF;
    for (const SettingRow& s : kSettings) {
        EXPECT_EQ(s.place.digit, s.field == &DeviceSettings::deviceType) << s.key;
        if (s.place.digit) {
            continue;
        }
        const auto mask = static_cast<uint8_t>(((1 << s.place.width) - 1) << s.place.shift);
        uint8_t& byte = used[static_cast<size_t>(s.place.byte)];
        EXPECT_EQ(byte & mask, 0) << s.key;
        byte = static_cast<uint8_t>(byte | mask);
        // Every value fits its field.
        EXPECT_LE(ValueCountOf(s), 1 << s.place.width) << s.key;
    }
}

TEST(SettingNames, KeysOfTheCodesAndTheirCheckBoxesPair) {
    // "msr1StartCode" is switched by "msr1StartCodeOn", captioned alike.
    for (const CodeRow& c : kCodes) {
        const std::string on = std::string(c.key) + "On";
        const SettingRow* s = FindSetting(on);
        if (BindingOf(c).listId == ctl::MicrErrorCodeList) {
            EXPECT_EQ(s, nullptr);
            EXPECT_EQ(c.switchField, nullptr);
            continue;
        }
        ASSERT_NE(s, nullptr) << c.key;
        EXPECT_TRUE(c.switchField == s->field) << c.key;
        EXPECT_EQ(BindingOf(*s).captionId, BindingOf(c).captionId) << c.key;
    }
}

}  // namespace
