#pragma once

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <functional>

#include "channels/common/PollTimer.h"

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

    // The application of the measure's process.
    static BenchApplication& Instance() {
        return *static_cast<BenchApplication*>(QCoreApplication::instance());
    }

    Hook before;
    Hook after;
};

// Whether this delivery is a tick of one of the window's two poll timers
// (timers 1 and 4): each is a single-shot QTimer of the poll interval, set
// again at the end of each tick. Nothing else in a benchmark's process runs
// such a timer: the window's other timers have other intervals or are no
// QTimer, and the measures' own waits use QTimer::singleShot, which is not
// a QTimer object. The rig's test checks that the ticks are still seen.
inline bool IsPollTick(QObject* receiver, QEvent::Type type) {
    if (type != QEvent::Timer) {
        return false;
    }
    const auto* timer = qobject_cast<const QTimer*>(receiver);
    return timer != nullptr && timer->isSingleShot() &&
           timer->interval() == PollTimer::kPollIntervalMs;
}

// Counts the window's poll ticks while it lives.
class PollTickCount {
  public:
    explicit PollTickCount(BenchApplication& app) : app_(app) {
        app_.before = [this](QObject* receiver, QEvent::Type type) {
            ticks_ += IsPollTick(receiver, type) ? 1 : 0;
        };
    }
    PollTickCount(const PollTickCount&) = delete;
    PollTickCount& operator=(const PollTickCount&) = delete;
    ~PollTickCount() { app_.before = nullptr; }

    int Ticks() const { return ticks_; }

  private:
    BenchApplication& app_;
    int ticks_ = 0;
};

}  // namespace bench
