#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

// Start-up probe shared by the application's start-up and the bare dialog's:
// notes when the first paint of a window has been done and flushed, reads
// the resident memory a moment later, prints both and ends the program.
//
// "First painted": the first paint event of any widget is seen by an
// application-wide event filter; a queued call made there runs once the
// paint pass it belongs to (every widget of the window, then the flush to
// the window system) has returned. The time counts from the moment the
// launcher started the process ($TALLISK_BENCH_LAUNCH_NS, CLOCK_MONOTONIC),
// so loading the libraries is included.
class FirstPaintProbe : public QObject {
  public:
    static constexpr int kSettleMs = 500;

    FirstPaintProbe() { QCoreApplication::instance()->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint && object->isWidgetType()) {
            seen_ = true;
            window_ = static_cast<QWidget*>(object)->window();
            QMetaObject::invokeMethod(
                this, [this] { Painted(); }, Qt::QueuedConnection);
        }
        return false;
    }

  private:
    static long long NowNs() {
        timespec t{};
        ::clock_gettime(CLOCK_MONOTONIC, &t);
        return static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
    }

    static long ResidentKb() {
        std::FILE* status = std::fopen("/proc/self/status", "r");
        if (status == nullptr) {
            return -1;
        }
        char line[256];
        long kb = -1;
        while (std::fgets(line, sizeof line, status) != nullptr) {
            if (std::strncmp(line, "VmRSS:", 6) == 0) {
                kb = std::strtol(line + 6, nullptr, 10);
            }
        }
        std::fclose(status);
        return kb;
    }

    void Painted() {
        paintedNs_ = NowNs();
        width_ = window_->width();
        height_ = window_->height();
        // The memory is read once the window has settled.
        QTimer::singleShot(kSettleMs, this, [this] { Report(); });
    }

    void Report() {
        const char* launch = std::getenv("TALLISK_BENCH_LAUNCH_NS");
        const long long launchNs = launch != nullptr ? std::atoll(launch) : paintedNs_;
        std::printf("startup_ms=%.3f rss_kb=%ld size=%dx%d\n",
                    static_cast<double>(paintedNs_ - launchNs) / 1e6, ResidentKb(), width_,
                    height_);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    bool seen_ = false;
    QWidget* window_ = nullptr;
    long long paintedNs_ = 0;
    int width_ = 0;
    int height_ = 0;
};
