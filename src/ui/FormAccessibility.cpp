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

// A list with its given name, its entry as the value, its popup's entries
// as its one child, and opening and closing the popup as its action.
class ListAccessible : public QAccessibleWidget {
  public:
    explicit ListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

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

    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString& action) override {
        if (action != showMenuAction()) {
            QAccessibleWidget::doAction(action);
        } else if (list()->view()->isVisible()) {
            list()->hidePopup();
        } else {
            list()->showPopup();
        }
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
