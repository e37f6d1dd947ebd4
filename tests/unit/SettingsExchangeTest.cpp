#include <gtest/gtest.h>

#include "InMemoryForm.h"
#include "form/ControlIds.h"
#include "form/ControlTable.h"
#include "form/SettingsExchange.h"

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
        {ctl::CustomRadio,
         {ctl::CustomRadio, ctl::MicrReaderRadio, ctl::KelvraRadio, ctl::DorrinRadio,
          ctl::WexleyRadio, ctl::LomardRadio, ctl::FennicRadio, ctl::ZorvaneRadio}},
        {ctl::CheckE13bRadio, {ctl::CheckE13bRadio, ctl::CheckCmc7Radio}},
        {ctl::Msr1Aba1Radio, {ctl::Msr1Aba1Radio, ctl::Msr1Aba2Radio, ctl::Msr1IataRadio}},
        {ctl::Msr2Aba1Radio, {ctl::Msr2Aba1Radio, ctl::Msr2Aba2Radio, ctl::Msr2IataRadio}},
        {ctl::Msr3Aba1Radio,
         {ctl::Msr3Aba1Radio, ctl::Msr3Aba2Radio,
          ctl::Msr3IataRadio}},  // check boxes and a frame follow it
        {ctl::Msr1IsoRadio,
         {ctl::Msr1IsoRadio, ctl::Msr1IbmfRadio, ctl::Msr1IbmcRadio, ctl::Msr1BcRadio,
          ctl::Msr1BfcRadio, ctl::Msr1DinRadio}},
        {ctl::Msr3IsoRadio,
         {ctl::Msr3IsoRadio, ctl::Msr3IbmfRadio, ctl::Msr3IbmcRadio, ctl::Msr3BcRadio,
          ctl::Msr3BfcRadio, ctl::Msr3DinRadio}},
        {ctl::CheckNotReturnWhenErrRadio,
         {ctl::CheckNotReturnWhenErrRadio, ctl::CheckAllDataReturnRadio}},
        {ctl::CheckNoLfAtEndRadio, {ctl::CheckNoLfAtEndRadio, ctl::CheckLfAtEndRadio}},
        {ctl::MsrNotReturnWhenErrRadio,
         {ctl::MsrNotReturnWhenErrRadio, ctl::MsrAllDataReturnRadio}},
        {ctl::MsrNoLfAtEndRadio,
         {ctl::MsrNoLfAtEndRadio, ctl::MsrLfAtEndRadio}},  // the last group: no later first mark
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RadioGroupMembers(order, c.firstId), c.members) << c.firstId;
    }
    // Every binding names the setting of its row; a radio-bound setting has
    // a value name for each button of its group, a check box none.
    for (size_t i = 0; i < kSettings.size(); ++i) {
        const SettingBinding& b = kSettingBindings[i];
        const SettingRow& row = kSettings[i];
        EXPECT_TRUE(b.field == row.field) << row.key;
        EXPECT_EQ(&BindingOf(row), &b) << row.key;
        if (b.kind == BindingKind::RadioGroup) {
            EXPECT_EQ(RadioGroupMembers(order, b.controlId).size(), row.valueNames.size())
                << row.key;
        } else {
            EXPECT_TRUE(IsOnOff(row)) << row.key;
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
            const bool expected = c.id == ctl::CustomRadio || c.id == ctl::ComparisonCheck;
            EXPECT_EQ(form.IsChecked(c.id), expected) << c.id;
        }
    }
    WindowRecord saved;
    saved.configuration.settings.deviceType = 5;
    exchange.Save(saved);
    EXPECT_EQ(saved.configuration.settings, DeviceSettings{});
    EXPECT_EQ(saved.comparison, 1);
}

TEST(SettingsExchange, LoadChecksOneButtonOrClearsTheGroup) {
    InMemoryForm form;
    SettingsExchange exchange(form);
    const std::vector<int> standards = {ctl::Msr1IsoRadio, ctl::Msr1IbmfRadio, ctl::Msr1IbmcRadio,
                                        ctl::Msr1BcRadio,  ctl::Msr1BfcRadio,  ctl::Msr1DinRadio};
    const struct {
        int32_t value;
        int checkedId;  // 0: none
    } cases[] = {{0, ctl::Msr1IsoRadio},
                 {2, ctl::Msr1IbmcRadio},
                 {5, ctl::Msr1DinRadio},
                 {-1, 0},
                 {6, 0},
                 {7, 0},
                 {-48, 0},
                 {200, 0}};
    for (const auto& c : cases) {
        WindowRecord record;
        record.configuration.settings.msr1Standard = 3;
        exchange.Load(record);
        record.configuration.settings.msr1Standard = c.value;
        exchange.Load(record);
        for (int id : standards) {
            EXPECT_EQ(form.IsChecked(id), id == c.checkedId) << "value " << c.value << " id " << id;
        }
        WindowRecord saved;
        exchange.Save(saved);
        EXPECT_EQ(saved.configuration.settings.msr1Standard,
                  c.checkedId == 0 ? -1 : c.checkedId - ctl::Msr1IsoRadio);
    }
}

TEST(SettingsExchange, SaveReadsCheckedRadiosCheckBoxesAndStatusText) {
    InMemoryForm form;
    SettingsExchange exchange(form);
    exchange.Load(WindowRecord{});
    form.SetChecked(ctl::CustomRadio, false);
    form.SetChecked(ctl::FennicRadio, true);
    form.SetChecked(ctl::Msr1IataRadio, true);
    form.SetChecked(ctl::CheckLfAtEndRadio, true);
    form.SetChecked(ctl::Track3LimitCheck, true);
    form.SetChecked(ctl::ComparisonCheck, false);
    form.SetText(ctl::StatusLine, "Status: shown");

    WindowRecord saved;
    exchange.Save(saved);
    EXPECT_EQ(saved.configuration.settings.deviceType, 6);
    EXPECT_EQ(saved.configuration.settings.msr1CodeType, 2);
    EXPECT_EQ(saved.configuration.settings.checkLfAtEnd, 1);
    EXPECT_EQ(saved.configuration.settings.track3Limit, 1);
    EXPECT_EQ(saved.configuration.settings.track1Limit, 0);
    EXPECT_EQ(saved.configuration.settings.msr2CodeType, -1);
    EXPECT_EQ(saved.comparison, 0);
    EXPECT_EQ(saved.statusText, "Status: shown");
}

TEST(SettingsExchange, SaveReadsTheCodeListsAndLoadLeavesThem) {
    InMemoryForm form;
    SettingsExchange exchange(form);
    const struct {
        int index;
        int code;
    } cases[] = {{-1, 0}, {0, 0x01}, {0x24, 0x25}, {126, 0x7F}};
    for (const auto& c : cases) {
        for (const CodeBinding& code : kCodeBindings) {
            form.SelectIndex(code.listId, c.index);
        }
        WindowRecord saved;
        exchange.Save(saved);
        for (size_t i = 0; i < kCodes.size(); ++i) {
            EXPECT_EQ(saved.configuration.codes[i], c.code) << kCodes[i].key << " " << c.index;
        }
        // A load shows the settings; a selection made since the last save
        // stays as the user left it.
        exchange.Load(WindowRecord{});
        EXPECT_EQ(form.SelectedIndex(kCodeBindings[0].listId), c.index);
    }
}

}  // namespace
