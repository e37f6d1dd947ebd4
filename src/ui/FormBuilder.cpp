#include "ui/FormBuilder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <vector>

#include "form/AccessibleNames.h"
#include "ui/CloseUpComboBox.h"
#include "ui/FormAccessibility.h"

namespace {

constexpr int kMinVisibleListEntries = 1;

// One style sheet for the whole form: frame captions sit on the frame's top
// line, as dialog frames have them, and list popups honour the number of
// visible entries.
const QString kFormStyle = QStringLiteral(
    "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.55em; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
    " left: 6px; padding: 0 2px; }"
    "QGroupBox[centredCaption=\"true\"]::title { subcontrol-position: top center; left: 0; }"
    "QComboBox { combobox-popup: 0; }");

QWidget* MakeWidget(const ControlSpec& control, QWidget* parent) {
    const QString label = QString::fromUtf8(control.label);
    switch (control.kind) {
        case ControlKind::Frame: {
            auto* box = new QGroupBox(label, parent);
            box->setAlignment(control.centredCaption ? Qt::AlignHCenter : Qt::AlignLeft);
            box->setProperty("centredCaption", control.centredCaption);
            return box;
        }
        case ControlKind::Label: {
            auto* text = new QLabel(label, parent);
            text->setTextFormat(Qt::PlainText);
            return text;
        }
        case ControlKind::Radio:
            return new QRadioButton(label, parent);
        case ControlKind::CheckBox:
            return new QCheckBox(label, parent);
        case ControlKind::DropList: {
            return new CloseUpComboBox(parent);
        }
        case ControlKind::TextBox: {
            auto* box = new QPlainTextEdit(parent);
            box->setReadOnly(true);
            box->setLineWrapMode(QPlainTextEdit::NoWrap);
            box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            return box;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(label, parent);
            // No button is pressed by the Enter key.
            button->setAutoDefault(false);
            button->setDefault(false);
            return button;
        }
    }
    return nullptr;
}

void Place(QWidget* widget, const ControlSpec& control, DialogBaseUnits base) {
    const QRect rect = DluToPixels(control.rect, base);
    if (control.kind != ControlKind::DropList) {
        widget->setGeometry(rect);
        return;
    }
    // The closed box has its ordinary height at the top of the rectangle;
    // the rest of the rectangle is the dropped-down part.
    auto* list = static_cast<QComboBox*>(widget);
    const int closedHeight = list->sizeHint().height();
    list->setGeometry(rect.x(), rect.y(), rect.width(), closedHeight);
    const int entryHeight = list->fontMetrics().height() + 2;
    list->setMaxVisibleItems(
        std::max(kMinVisibleListEntries, (rect.height() - closedHeight) / entryHeight));
}

// A widget with a text reports that text as its name and follows it when it
// changes; one without is named here, once. A label that names a control is
// its buddy, which screen readers on Linux take as the labelled-by relation.
void NameTextlessControls(std::span<const ControlSpec> controls, std::span<QWidget* const> made) {
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlSpec* namer = NamedBy(controls, controls[i]);
        if (namer == nullptr) {
            continue;
        }
        // The namer has a text of its own: its name is the control's.
        made[i]->setAccessibleName(QString::fromStdString(AccessibleNameOf(controls, *namer)));
        if (auto* label =
                qobject_cast<QLabel*>(made[static_cast<size_t>(namer - controls.data())])) {
            label->setBuddy(made[i]);
        }
    }
}

}  // namespace

FormWidgets BuildForm(QWidget* parent, std::span<const ControlSpec> controls) {
    InstallFormAccessibility();
    const DialogBaseUnits base = BaseUnitsOf(parent->font());
    FormWidgets form;
    std::vector<QWidget*> made;  // by the control's place in the table
    QButtonGroup* group = nullptr;
    for (const ControlSpec& control : controls) {
        QWidget* widget = MakeWidget(control, parent);
        Place(widget, control, base);
        made.push_back(widget);
        if (control.id != kNoId) {
            widget->setObjectName(QStringLiteral("control%1").arg(control.id));
            widget->setProperty("controlId", control.id);
            form.byId[control.id] = widget;
        }
        if (control.kind == ControlKind::Radio) {
            if (control.firstOfGroup || group == nullptr) {
                group = new QButtonGroup(parent);
            }
            group->addButton(static_cast<QRadioButton*>(widget), control.id);
            form.groupOfRadio[control.id] = group;
        }
    }
    NameTextlessControls(controls, made);
    // Last, and on the window: a control made under a style sheet would
    // take the application's font in place of a page's it stands on.
    parent->window()->setStyleSheet(kFormStyle);
    return form;
}
