#pragma once

#include <QWidget>
#include <map>
#include <span>
#include <vector>

#include "form/ControlTable.h"
#include "ui/DialogUnits.h"

class QButtonGroup;

// The widgets of a built form, by control id.
struct FormWidgets {
    std::map<int, QWidget*> byId;               // numbered controls
    std::map<int, QButtonGroup*> groupOfRadio;  // radio id -> its exclusive group
};

// Turns a control table into child widgets of parent, placed at their
// rectangles in dialog units of the parent's font. Radio groups follow the
// first-of-group marks; nothing is laid out or resized later.
FormWidgets BuildForm(QWidget* parent, std::span<const ControlSpec> controls);
