#pragma once

#include <map>
#include <string>
#include <vector>

#include "form/ControlTable.h"
#include "form/FormBindings.h"
#include "form/FormOperations.h"

// The main form's controls held in memory: the real form order, check
// states, list selections over lists of the real sizes, texts and enables,
// for running the window's steps without a window.
class InMemoryForm : public FormOperations {
  public:
    InMemoryForm() : order_(MainFormOrder()) {
        for (const CodeBinding& code : kCodeBindings) {
            listSizes_[code.listId] = kCodeListEntries;
        }
    }

    std::span<const FormEntry> FormOrder() const override { return order_; }
    bool IsChecked(int id) const override { return Get(checked_, id, false); }
    void SetChecked(int id, bool checked) override { checked_[id] = checked; }
    int SelectedIndex(int id) const override { return Get(selected_, id, -1); }
    void SelectIndex(int id, int index) override {
        selected_[id] = index >= 0 && index < Get(listSizes_, id, 0) ? index : -1;
    }
    std::string Text(int id) const override { return Get(texts_, id, std::string()); }
    void SetText(int id, const std::string& text) override { texts_[id] = text; }
    void Enable(int id, bool enabled) override { enabled_[id] = enabled; }
    void EnableAllControls() override {
        for (int id : AllSettingsControlIds()) {
            enabled_[id] = true;
        }
    }

    bool IsEnabled(int id) const { return Get(enabled_, id, false); }
    void Click(int radioOrCheck) { checked_[radioOrCheck] = true; }

  private:
    template <typename V>
    static V Get(const std::map<int, V>& m, int id, V fallback) {
        auto it = m.find(id);
        return it == m.end() ? fallback : it->second;
    }

    std::vector<FormEntry> order_;
    std::map<int, bool> checked_;
    std::map<int, int> selected_;
    std::map<int, int> listSizes_;
    std::map<int, std::string> texts_;
    std::map<int, bool> enabled_;
};
