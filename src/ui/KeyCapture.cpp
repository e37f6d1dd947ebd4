#include "ui/KeyCapture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

KeyCapture::KeyCapture(QWidget* window, std::function<void(const std::string&)> onCharacter)
    : QObject(window), window_(window), onCharacter_(std::move(onCharacter)) {
    QCoreApplication::instance()->installEventFilter(this);
}

KeyCapture::~KeyCapture() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool KeyCapture::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    // A key press that its first receiver ignores travels on to the parents;
    // only its first delivery counts.
    QWidget* first = QApplication::focusWidget();
    if (first == nullptr) {
        first = window_->focusWidget() != nullptr ? window_->focusWidget() : window_;
    }
    if (watched != first || first->window() != window_) {
        return false;
    }
    const QPointer<QWidget> receiver = first;
    const bool hadFocus = first->hasFocus();
    const QString text = static_cast<QKeyEvent*>(event)->text();
    for (const QChar c : text) {
        onCharacter_(QString(c).toStdString());
    }
    // The read took the focus away from the control the key was meant for
    // (it moves to the comparison box): that control no longer handles
    // keys, or a blank would press a button whose release goes elsewhere.
    return receiver.isNull() || (hadFocus && !receiver->hasFocus());
}
