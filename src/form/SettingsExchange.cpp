#include "form/SettingsExchange.h"

#include <algorithm>

#include "form/ControlIds.h"

std::vector<int> RadioGroupMembers(std::span<const FormEntry> formOrder, int firstId) {
    std::vector<int> members;
    auto it = std::find_if(formOrder.begin(), formOrder.end(),
                           [firstId](const FormEntry& e) { return e.id == firstId; });
    if (it == formOrder.end()) {
        return members;
    }
    members.push_back(it->id);
    for (++it; it != formOrder.end() && !it->firstOfGroup; ++it) {
        if (it->kind == ControlKind::Radio) {
            members.push_back(it->id);
        }
    }
    return members;
}

SettingsExchange::SettingsExchange(FormOperations& form) : form_(form) {
    for (size_t i = 0; i < kSettingBindings.size(); ++i) {
        if (kSettingBindings[i].kind == BindingKind::RadioGroup) {
            groups_[i] = RadioGroupMembers(form.FormOrder(), kSettingBindings[i].controlId);
        }
    }
}

void SettingsExchange::Save(WindowRecord& record) const {
    for (size_t i = 0; i < kSettingBindings.size(); ++i) {
        const SettingBinding& b = kSettingBindings[i];
        int32_t& field = record.configuration.settings.*b.field;
        if (b.kind == BindingKind::CheckBox) {
            field = form_.IsChecked(b.controlId) ? 1 : 0;
            continue;
        }
        const std::vector<int>& group = groups_[i];
        auto checked = std::find_if(group.begin(), group.end(),
                                    [this](int id) { return form_.IsChecked(id); });
        field = checked == group.end() ? -1 : static_cast<int32_t>(checked - group.begin());
    }
    for (size_t i = 0; i < kCodeBindings.size(); ++i) {
        record.configuration.codes[i] =
            CodeValueFromIndex(form_.SelectedIndex(kCodeBindings[i].listId));
    }
    record.comparison = form_.IsChecked(ctl::ComparisonCheck) ? 1 : 0;
    record.statusText = form_.Text(ctl::StatusLine);
}

void SettingsExchange::Load(const WindowRecord& record) {
    for (size_t i = 0; i < kSettingBindings.size(); ++i) {
        const SettingBinding& b = kSettingBindings[i];
        const int32_t value = record.configuration.settings.*b.field;
        if (b.kind == BindingKind::CheckBox) {
            form_.SetChecked(b.controlId, value != 0);
            continue;
        }
        const std::vector<int>& group = groups_[i];
        for (size_t k = 0; k < group.size(); ++k) {
            form_.SetChecked(group[k], value >= 0 && static_cast<size_t>(value) == k);
        }
    }
    form_.SetChecked(ctl::ComparisonCheck, record.comparison == 1);
    form_.SetText(ctl::StatusLine, record.statusText);
}
