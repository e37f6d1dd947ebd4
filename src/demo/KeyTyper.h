#pragma once

#include <QObject>
#include <QTimer>
#include <deque>

class QWidget;

// Types characters into a window the way a keyboard-wedge reader does: one
// key press and release per character, a couple of milliseconds apart,
// each to whichever control of the window has the focus at that moment.
class KeyTyper : public QObject {
  public:
    explicit KeyTyper(QWidget& window);

    void Type(const QString& text);
    bool Busy() const { return !pending_.empty(); }

  private:
    void TypeNext();

    QWidget& window_;
    QTimer timer_;
    std::deque<QChar> pending_;
};
