#include "form/SettingCaptions.h"

#include "form/ControlTable.h"
#include "form/FormBindings.h"
#include "form/SettingsExchange.h"

namespace {

std::string_view LabelOf(int id) {
    const ControlSpec* control = FindControl(id);
    return control == nullptr ? std::string_view{} : std::string_view{control->label};
}

}  // namespace

std::string_view CaptionOf(const SettingRow& setting) {
    return LabelOf(BindingOf(setting).captionId);
}

std::string_view CaptionOf(const CodeRow& code) {
    return LabelOf(BindingOf(code).captionId);
}

std::vector<std::string_view> RadioLabelsOf(const SettingRow& setting) {
    std::vector<std::string_view> labels;
    const SettingBinding& binding = BindingOf(setting);
    if (binding.kind != BindingKind::RadioGroup) {
        return labels;
    }
    for (int id : RadioGroupMembers(MainFormOrder(), binding.controlId)) {
        labels.push_back(LabelOf(id));
    }
    return labels;
}
