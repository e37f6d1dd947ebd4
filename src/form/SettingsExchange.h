#pragma once

#include <array>
#include <span>
#include <vector>

#include "form/FormBindings.h"
#include "form/FormOperations.h"

// The radio buttons of the group that starts at firstId, in form order: from
// that button up to the next control marked first of a group, counting radios
// only. Empty when firstId is not in the form.
std::vector<int> RadioGroupMembers(std::span<const FormEntry> formOrder, int firstId);

// The two-way copy between the window's record and its controls. Save copies
// controls to record, the code lists' selections included; load copies the
// settings, the Comparison flag and the status text back (a load is what
// makes a new status text visible). The code lists are only set when a
// configuration is read, so a load never undoes a selection made meanwhile.
class SettingsExchange {
  public:
    explicit SettingsExchange(FormOperations& form);

    void Save(WindowRecord& record) const;
    void Load(const WindowRecord& record);

  private:
    FormOperations& form_;
    // The radio group of each radio-bound setting, derived once from the form.
    std::array<std::vector<int>, kSettingCount> groups_;
};
