#include "demo/KeyTyper.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {
constexpr int kKeyIntervalMs = 2;
}

KeyTyper::KeyTyper(QWidget& window) : window_(window) {
    timer_.setInterval(kKeyIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &KeyTyper::TypeNext);
}

void KeyTyper::Type(const QString& text) {
    pending_.insert(pending_.end(), text.begin(), text.end());
    if (!timer_.isActive()) {
        timer_.start();
    }
}

void KeyTyper::TypeNext() {
    if (pending_.empty()) {
        timer_.stop();
        return;
    }
    const QChar c = pending_.front();
    pending_.pop_front();
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr || target->window() != &window_) {
        target = window_.focusWidget() != nullptr ? window_.focusWidget() : &window_;
    }
    const int key = c == QChar('\r') ? Qt::Key_Return : c == QChar('\n') ? Qt::Key_Enter : 0;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}
