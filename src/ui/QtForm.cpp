#include "ui/QtForm.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>

#include "form/ControlIds.h"
#include "ui/CloseUpComboBox.h"
#include "ui/FormAccessibility.h"

QtForm::QtForm(QWidget* window)
    : QObject(window), widgets_(BuildForm(window, MainFormControls())), order_(MainFormOrder()) {
    MakeStatusLine(As<QLabel>(ctl::StatusLine));
    for (const auto& [id, widget] : widgets_.byId) {
        const int controlId = id;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->installEventFilter(this);
            connect(button, &QAbstractButton::clicked, this,
                    [this, controlId] { emit clicked(controlId); });
        } else if (auto* list = qobject_cast<CloseUpComboBox*>(widget)) {
            // Only the user's choices are selection changes; filling and
            // selecting from code are not.
            connect(list, &QComboBox::activated, this,
                    [this, controlId] { emit selectionChanged(controlId); });
            connect(list, &CloseUpComboBox::closedUp, this,
                    [this, controlId] { emit closedUp(controlId); });
        }
    }
}

bool QtForm::eventFilter(QObject* watched, QEvent* event) {
    // The form has no keyboard movement between controls: on a button the
    // arrow keys would move the focus and check the next radio of a group.
    if (event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_Left:
            case Qt::Key_Right:
                return true;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

template <typename W>
W* QtForm::As(int id) const {
    auto it = widgets_.byId.find(id);
    return it == widgets_.byId.end() ? nullptr : qobject_cast<W*>(it->second);
}

QWidget* QtForm::Widget(int id) const {
    auto it = widgets_.byId.find(id);
    return it == widgets_.byId.end() ? nullptr : it->second;
}

bool QtForm::IsChecked(int id) const {
    const auto* button = As<QAbstractButton>(id);
    return button != nullptr && button->isChecked();
}

void QtForm::SetChecked(int id, bool checked) {
    auto* button = As<QAbstractButton>(id);
    if (button == nullptr || button->isChecked() == checked) {
        return;
    }
    auto group = widgets_.groupOfRadio.find(id);
    if (checked || group == widgets_.groupOfRadio.end()) {
        button->setChecked(checked);
        return;
    }
    // An exclusive group keeps its checked button; clearing the group is
    // done with the exclusivity lifted for the moment.
    group->second->setExclusive(false);
    button->setChecked(false);
    group->second->setExclusive(true);
}

int QtForm::SelectedIndex(int id) const {
    const auto* list = As<QComboBox>(id);
    return list == nullptr ? -1 : list->currentIndex();
}

void QtForm::SelectIndex(int id, int index) {
    auto* list = As<QComboBox>(id);
    if (list != nullptr) {
        list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    }
}

std::string QtForm::Text(int id) const {
    QString text;
    if (const auto* label = As<QLabel>(id)) {
        text = label->text();
    } else if (const auto* box = As<QPlainTextEdit>(id)) {
        text = box->toPlainText();
    } else if (const auto* button = As<QAbstractButton>(id)) {
        text = button->text();
    }
    return text.toStdString();
}

void QtForm::SetText(int id, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (auto* label = As<QLabel>(id)) {
        if (label->text() != value) {
            label->setText(value);
            AnnounceNewText(label);
        }
    } else if (auto* box = As<QPlainTextEdit>(id)) {
        box->setPlainText(value);
    } else if (auto* button = As<QAbstractButton>(id)) {
        button->setText(value);
    }
}

void QtForm::Enable(int id, bool enabled) {
    if (QWidget* widget = Widget(id)) {
        widget->setEnabled(enabled);
    }
}

bool QtForm::IsEnabled(int id) const {
    const QWidget* widget = Widget(id);
    return widget != nullptr && widget->isEnabled();
}

void QtForm::EnableSet(std::span<const int> ids, bool enabled) {
    for (int id : ids) {
        Enable(id, enabled);
    }
}

void QtForm::EnableAllControls() {
    EnableSet(AllSettingsControlIds(), true);
}

void QtForm::DisableAllControls() {
    EnableSet(AllSettingsControlIds(), false);
}

void QtForm::EnableTestControls() {
    EnableSet(TestControlIds(), true);
}

void QtForm::DisableTestControls() {
    EnableSet(TestControlIds(), false);
}

void QtForm::FocusComparisonBox() {
    Focus(ctl::ComparisonBox);
}

void QtForm::Focus(int id) {
    if (QWidget* widget = Widget(id)) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

void QtForm::AddListEntry(int id, const QString& entry) {
    if (auto* list = As<QComboBox>(id)) {
        // Adding an entry selects nothing: a list filled from empty keeps
        // showing no selection.
        const int selected = list->currentIndex();
        list->addItem(entry);
        list->setCurrentIndex(selected);
    }
}

void QtForm::AddListEntries(int id, const QStringList& entries) {
    if (auto* list = As<QComboBox>(id)) {
        const int selected = list->currentIndex();
        list->addItems(entries);
        list->setCurrentIndex(selected);
    }
}

void QtForm::ClearList(int id) {
    if (auto* list = As<QComboBox>(id)) {
        list->clear();
    }
}

int QtForm::ListCount(int id) const {
    const auto* list = As<QComboBox>(id);
    return list == nullptr ? 0 : list->count();
}

QString QtForm::ListEntry(int id, int index) const {
    const auto* list = As<QComboBox>(id);
    return list == nullptr ? QString() : list->itemText(index);
}

bool QtForm::Choose(int listId, int index) {
    auto* list = As<CloseUpComboBox>(listId);
    if (list == nullptr || !list->isEnabled() || index < 0 || index >= list->count()) {
        return false;
    }
    // A pick in the popup selects the entry and reports it even when it was
    // already selected; the popup's close-up follows.
    list->setCurrentIndex(index);
    emit selectionChanged(listId);
    emit closedUp(listId);
    return true;
}
