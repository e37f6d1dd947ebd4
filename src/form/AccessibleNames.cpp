#include "form/AccessibleNames.h"

#include <string_view>

namespace {

// A closed drop-down list is one line high; the rest of its rectangle is
// the popup, which lies over the rows below.
constexpr int kClosedListHeightDlu = 12;

bool HasText(const ControlSpec& c) {
    return c.label[0] != '\0';
}

// "&&" shows one '&'; a single '&' marks the next letter as the mnemonic.
std::string WithoutMnemonics(std::string_view text) {
    std::string name;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 == text.size() || text[i + 1] != '&') {
                continue;
            }
            ++i;
        }
        name += text[i];
    }
    return name;
}

int RowBottom(const ControlSpec& c) {
    return c.rect.y + (c.kind == ControlKind::DropList ? kClosedListHeightDlu : c.rect.height);
}

// A label or check box names what stands right of it when its middle lies
// on that control's row.
bool StandsLeftOf(const ControlSpec& label, const ControlSpec& control) {
    if ((label.kind != ControlKind::Label && label.kind != ControlKind::CheckBox) ||
        !HasText(label)) {
        return false;
    }
    const int middle = label.rect.y + label.rect.height / 2;
    return label.rect.x + label.rect.width <= control.rect.x && middle >= control.rect.y &&
           middle < RowBottom(control);
}

bool FrameHolds(const ControlSpec& frame, const ControlSpec& c) {
    return frame.kind == ControlKind::Frame && HasText(frame) && c.rect.x >= frame.rect.x &&
           c.rect.y >= frame.rect.y && c.rect.x + c.rect.width <= frame.rect.x + frame.rect.width &&
           RowBottom(c) <= frame.rect.y + frame.rect.height;
}

}  // namespace

const ControlSpec* NamedBy(std::span<const ControlSpec> form, const ControlSpec& control) {
    if (HasText(control)) {
        return nullptr;
    }
    const ControlSpec* nearest = nullptr;
    for (const ControlSpec& c : form) {
        if (StandsLeftOf(c, control) &&
            (nearest == nullptr ||
             c.rect.x + c.rect.width > nearest->rect.x + nearest->rect.width)) {
            nearest = &c;
        }
    }
    if (nearest != nullptr) {
        return nearest;
    }
    // Frames come before what they hold; the last one that holds the
    // control is the innermost.
    const ControlSpec* frame = nullptr;
    for (const ControlSpec& c : form) {
        if (&c == &control) {
            break;
        }
        if (FrameHolds(c, control)) {
            frame = &c;
        }
    }
    return frame;
}

std::string AccessibleNameOf(std::span<const ControlSpec> form, const ControlSpec& control) {
    if (HasText(control)) {
        return WithoutMnemonics(control.label);
    }
    const ControlSpec* namer = NamedBy(form, control);
    return namer == nullptr ? std::string() : WithoutMnemonics(namer->label);
}
