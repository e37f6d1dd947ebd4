#pragma once

#include <span>
#include <string>

#include "form/ControlTable.h"

// What a screen reader calls a control of a form. A control with a text of
// its own is called by that text without the '&' marks of mnemonics, as the
// widget itself reports it. A list or a text box has no text: it is called
// by the label or check box that stands left of it on its row, the nearest
// one, and failing that by the caption of the frame that holds it.
std::string AccessibleNameOf(std::span<const ControlSpec> form, const ControlSpec& control);

// The label, check box or frame of form that names a control without a text
// of its own; nullptr for a control with a text, or one that nothing names.
const ControlSpec* NamedBy(std::span<const ControlSpec> form, const ControlSpec& control);
