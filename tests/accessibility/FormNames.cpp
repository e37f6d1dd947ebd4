// Prints the main window form as a screen reader should find it, one
// control a line in form order: id, kind and accessible name, separated by
// tabs. The bus test compares the running window with it.
#include <cstdio>

#include "form/AccessibleNames.h"
#include "form/ControlIds.h"

namespace {

const char* KindName(const ControlSpec& c) {
    if (c.id == ctl::StatusLine) {
        return "status";
    }
    switch (c.kind) {
        case ControlKind::Frame:
            return "frame";
        case ControlKind::Label:
            return "label";
        case ControlKind::Radio:
            return "radio";
        case ControlKind::CheckBox:
            return "check";
        case ControlKind::DropList:
            return "list";
        case ControlKind::TextBox:
            return "text";
        case ControlKind::Button:
            return "button";
    }
    return "?";
}

}  // namespace

int main() {
    const auto form = MainFormControls();
    for (const ControlSpec& c : form) {
        std::printf("%d\t%s\t%s\n", c.id, KindName(c), AccessibleNameOf(form, c).c_str());
    }
    return 0;
}
