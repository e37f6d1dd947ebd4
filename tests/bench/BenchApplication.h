#pragma once

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <functional>

#include "ui/MainWindow.h"

namespace bench {

// The application of a measure, which can watch every event delivered on
// the window's thread, nested deliveries included: a hook before and a hook
// after each delivery. The receiver may be gone by the time the after-hook
// runs (a deferred delete), so that hook only compares its address.
class BenchApplication : public QApplication {
  public:
    using Hook = std::function<void(QObject* receiver, QEvent::Type type)>;

    BenchApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* event) override {
        if (!before && !after) {
            return QApplication::notify(receiver, event);
        }
        const QEvent::Type type = event->type();
        if (before) {
            before(receiver, type);
        }
        const bool result = QApplication::notify(receiver, event);
        if (after) {
            after(receiver, type);
        }
        return result;
    }

    Hook before;
    Hook after;
};

// Whether this object is one of the window's two poll timers (timers 1 and
// 4): a 100 ms QTimer that is part of the window object itself. A measure
// that uses this runs no read, so that no other timer of the window with
// the same period can tick meanwhile.
inline bool IsPollTimer(const MainWindow& window, QObject* object) {
    const auto* begin = reinterpret_cast<const char*>(&window);
    const auto* at = reinterpret_cast<const char*>(object);
    if (at < begin || at >= begin + sizeof(MainWindow)) {
        return false;
    }
    const auto* timer = qobject_cast<const QTimer*>(object);
    return timer != nullptr && timer->interval() == PollTimer::kPollIntervalMs;
}

}  // namespace bench
