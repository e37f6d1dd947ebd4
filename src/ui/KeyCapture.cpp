#include "KeyCapture.h"

#include <QApplication>
#include <QKeyEvent>
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
    const QString text = static_cast<QKeyEvent*>(event)->text();
    for (const QChar c : text) {
        onCharacter_(QString(c).toStdString());
    }
    return false;  // never consumed
}
