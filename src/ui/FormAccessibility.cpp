#include "ui/FormAccessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>

#include "ui/CloseUpComboBox.h"

namespace {

constexpr const char* kStatusLineProperty = "statusLine";

bool IsStatusLine(const QObject* object) {
    return object != nullptr && object->property(kStatusLineProperty).toBool();
}

class StatusLineAccessible : public QAccessibleWidget {
  public:
    explicit StatusLineAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return static_cast<const QLabel*>(widget())->text();
        }
        return QAccessibleWidget::text(t);
    }
};

// A list with its given name, its entry as the value and as its text, its
// popup's entries as its one child, and opening and closing the popup among
// its actions. Orca reads a list's entry from its text while the popup's
// entries have no selection, which they get only when the popup opens.
class ListAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit ListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value ||
            (t == QAccessible::Name && list()->accessibleName().isEmpty())) {
            return list()->currentText();
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child->object() == list()->view() ? 0 : -1;
    }

    // Opening the popup by either name, as Qt's lists have it, and taking
    // the focus.
    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << showMenuAction() << pressAction();
    }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
        } else if (list()->view()->isVisible()) {
            list()->hidePopup();
        } else {
            list()->showPopup();
        }
    }

    // The entry as read-only text, without a caret or a selection.
    QString text(int startOffset, int endOffset) const override {
        return list()->currentText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(list()->currentText().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = 0;
    }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = offset;
        *endOffset = offset;
        return QString();
    }

  private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* FormFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("QLabel") && IsStatusLine(object)) {
        return new StatusLineAccessible(static_cast<QLabel*>(object));
    }
    if (className == QLatin1String(CloseUpComboBox::staticMetaObject.className())) {
        return new ListAccessible(static_cast<QComboBox*>(object));
    }
    return nullptr;
}

}  // namespace

void InstallFormAccessibility() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(FormFactory);
        return true;
    }();
}

void MakeStatusLine(QLabel* label) {
    label->setProperty(kStatusLineProperty, true);
    // Setting its text may already have made the plain label's interface;
    // the next query makes the status line's.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(label);
        made != nullptr && made->role() != QAccessible::Notification) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

void AnnounceNewText(QLabel* label) {
    if (!IsStatusLine(label)) {
        return;
    }
    // Reported on the bus as the notification's showing state turned on.
    QAccessibleEvent shown(label, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
