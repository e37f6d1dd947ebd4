#include <gtest/gtest.h>

#include "ControlTable.h"
#include "InMemoryForm.h"
#include "SettingsExchange.h"

namespace {

TEST(RadioGroups, WalkCountsRadiosOnlyUpToTheNextFirstMark) {
    const std::vector<FormEntry> order = {
        {1, ControlKind::Radio, true},     {2, ControlKind::Frame, false},
        {3, ControlKind::CheckBox, false}, {4, ControlKind::Radio, false},
        {5, ControlKind::Label, false},    {6, ControlKind::Radio, true},
        {7, ControlKind::DropList, false}, {8, ControlKind::Radio, false},
    };
    EXPECT_EQ(RadioGroupMembers(order, 1), (std::vector<int>{1, 4}));
    EXPECT_EQ(RadioGroupMembers(order, 6), (std::vector<int>{6, 8}));  // runs to the end
    EXPECT_TRUE(RadioGroupMembers(order, 99).empty());
}

TEST(RadioGroups, TheFormsGroupsHoldTheButtonsOfEachSetting) {
    const std::vector<FormEntry> order = MainFormOrder();
    const struct {
        int firstId;
        std::vector<int> members;
    } cases[] = {
        {1007, {1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014}},
        {1018, {1018, 1019}},
        {1027, {1027, 1046, 1047}},
        {1048, {1048, 1049, 1050}},
        {1051, {1051, 1052, 1053}},  // check boxes and a frame follow it
        {1021, {1021, 1022, 1023, 1024, 1025, 1026}},
        {1040, {1040, 1041, 1042, 1043, 1044, 1045}},
        {1035, {1035, 1036}},
        {1066, {1066, 1067}},
        {1070, {1070, 1071}},
        {1082, {1082, 1083}},  // the last group: no later first mark
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RadioGroupMembers(order, c.firstId), c.members) << c.firstId;
    }
    // Every radio-bound setting's value range is the size of its group.
    for (const SettingBinding& b : kSettingBindings) {
        if (b.kind == BindingKind::RadioGroup) {
            EXPECT_EQ(RadioGroupMembers(order, b.controlId).size(),
                      static_cast<size_t>(b.valueCount))
                << b.controlId;
        } else {
            const ControlSpec* control = FindControl(b.controlId);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(control->kind, ControlKind::CheckBox) << b.controlId;
        }
    }
}

TEST(SettingsExchange, InitialRecordShowsCustomAndComparisonOnly) {
    InMemoryForm form;
    SettingsExchange exchange(form);
    exchange.Load(WindowRecord{});
    for (const ControlSpec& c : MainFormControls()) {
        if (c.kind == ControlKind::Radio || c.kind == ControlKind::CheckBox) {
            const bool expected = c.id == 1007 || c.id == 1112;
            EXPECT_EQ(form.IsChecked(c.id), expected) << c.id;
        }
    }
    WindowRecord saved;
    saved.settings.deviceType = 5;
    exchange.Save(saved);
    EXPECT_EQ(saved.settings, DeviceSettings{});
    EXPECT_EQ(saved.comparison, 1);
}

TEST(SettingsExchange, LoadChecksOneButtonOrClearsTheGroup) {
    InMemoryForm form;
    SettingsExchange exchange(form);
    const std::vector<int> standards = {1021, 1022, 1023, 1024, 1025, 1026};
    const struct {
        int32_t value;
        int checkedId;  // 0: none
    } cases[] = {{0, 1021}, {2, 1023}, {5, 1026}, {-1, 0}, {6, 0}, {7, 0}, {-48, 0}, {200, 0}};
    for (const auto& c : cases) {
        WindowRecord record;
        record.settings.msr1Standard = 3;
        exchange.Load(record);
        record.settings.msr1Standard = c.value;
        exchange.Load(record);
        for (int id : standards) {
            EXPECT_EQ(form.IsChecked(id), id == c.checkedId) << "value " << c.value << " id " << id;
        }
        WindowRecord saved;
        exchange.Save(saved);
        EXPECT_EQ(saved.settings.msr1Standard, c.checkedId == 0 ? -1 : c.checkedId - 1021);
    }
}

TEST(SettingsExchange, SaveReadsCheckedRadiosCheckBoxesAndStatusText) {
    InMemoryForm form;
    SettingsExchange exchange(form);
    exchange.Load(WindowRecord{});
    form.SetChecked(1007, false);
    form.SetChecked(1013, true);  // Fennic
    form.SetChecked(1047, true);  // MSR1 IATA
    form.SetChecked(1067, true);  // cheque LF at end
    form.SetChecked(1055, true);  // Track3
    form.SetChecked(1112, false);
    form.SetText(1004, "Status: shown");

    WindowRecord saved;
    exchange.Save(saved);
    EXPECT_EQ(saved.settings.deviceType, 6);
    EXPECT_EQ(saved.settings.msr1CodeType, 2);
    EXPECT_EQ(saved.settings.checkLfAtEnd, 1);
    EXPECT_EQ(saved.settings.track3Limit, 1);
    EXPECT_EQ(saved.settings.track1Limit, 0);
    EXPECT_EQ(saved.settings.msr2CodeType, -1);
    EXPECT_EQ(saved.comparison, 0);
    EXPECT_EQ(saved.statusText, "Status: shown");
}

}  // namespace
