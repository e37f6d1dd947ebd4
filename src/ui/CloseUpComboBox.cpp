#include "ui/CloseUpComboBox.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QWheelEvent>

CloseUpComboBox::CloseUpComboBox(QWidget* parent) : QComboBox(parent) {
    // A wheel turn must not take the focus and, with it, the selection.
    setFocusPolicy(Qt::StrongFocus);
}

void CloseUpComboBox::showPopup() {
    QComboBox::showPopup();
    QWidget* popup = view() != nullptr ? view()->window() : nullptr;
    if (popup == nullptr || !popup->isVisible()) {
        return;
    }
    // The popup can also be closed without passing through hidePopup: Qt
    // closes every popup when the window loses activation.
    popup->removeEventFilter(this);
    popup->installEventFilter(this);
    popupOpen_ = true;
}

void CloseUpComboBox::hidePopup() {
    QComboBox::hidePopup();
    ReportCloseUp();
}

bool CloseUpComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && view() != nullptr && watched == view()->window()) {
        ReportCloseUp();
    }
    return QComboBox::eventFilter(watched, event);
}

void CloseUpComboBox::ReportCloseUp() {
    if (!popupOpen_) {
        return;
    }
    popupOpen_ = false;
    QMetaObject::invokeMethod(this, &CloseUpComboBox::closedUp, Qt::QueuedConnection);
}

void CloseUpComboBox::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}
