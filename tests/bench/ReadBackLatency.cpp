// Configuration read-back: from choosing Device_Type_Setup in the Command
// Type list to the form showing the reader's configuration, over the
// simulated USB reader and the simulated serial reader, against the floor
// that the window's polls set.
//
// The floor of one trial:
//   USB     the time from the choice to the next poll tick as scheduled:
//           the end of the previous tick plus 100 ms (the poll is a one-shot
//           set again at the end of each tick). The simulated exchange
//           itself takes no time.
//   serial  the time to the scheduled poll that writes the request, plus the
//           time the reply took to arrive (from that poll to the hand-over
//           of the reply's last byte: line time, which a pseudo-terminal
//           makes short), plus the 100 ms of silence after the last byte
//           that end the reply.
// The figure is the mean latency over the mean floor; the difference is
// what the window adds: late timer ticks, the exchange, the decoding and
// the filling of the form.
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <random>
#include <vector>

#include "BenchApplication.h"
#include "BenchRig.h"
#include "BenchSupport.h"
#include "Measures.h"
#include "protocol/CommandSet.h"

namespace bench {
namespace {

constexpr double kTargetRatio = 1.10;
constexpr int64_t kPollNs = int64_t{PollTimer::kPollIntervalMs} * 1'000'000;
constexpr int kUsbTrials = 40;
constexpr int kSerialTrials = 25;
constexpr int kTrialLimitMs = 3000;

struct Trial {
    double latencyMs;
    double floorMs;
    double lineMs;  // serial only: from the writing poll to the reply's last byte
};

// Watches the polls and the serial hand-overs of one window through the
// application's event hooks, and ends the event loop of a trial when the
// read-back shows.
class ReadBackWatch {
  public:
    ReadBackWatch(BenchApplication& app, BenchRig& rig) : app_(app), rig_(rig) {
        app_.before = [this](QObject* receiver, QEvent::Type type) { Before(receiver, type); };
        app_.after = [this](QObject* receiver, QEvent::Type type) { After(receiver, type); };
    }
    ~ReadBackWatch() {
        app_.before = nullptr;
        app_.after = nullptr;
    }

    std::optional<Trial> Run(std::mt19937& random) {
        RunFor(static_cast<int>(random() % PollTimer::kPollIntervalMs));
        const int64_t choice = NowNs();
        const int64_t scheduledPoll = std::max(choice, lastPollEndNs_ + kPollNs);
        writeTickNs_ = 0;
        lastByteNs_ = 0;
        doneNs_ = 0;
        rig_.ChooseCommand(kDeviceTypeSetup);
        if (rig_.Status() == kConfigOk) {
            return std::nullopt;
        }
        QEventLoop loop;
        loop_ = &loop;
        QTimer::singleShot(kTrialLimitMs, &loop, &QEventLoop::quit);
        loop.exec();
        loop_ = nullptr;
        if (doneNs_ == 0) {
            return std::nullopt;
        }
        Trial t{};
        t.latencyMs = static_cast<double>(doneNs_ - choice) / 1e6;
        t.floorMs = static_cast<double>(scheduledPoll - choice) / 1e6;
        if (writeTickNs_ != 0) {  // serial
            t.lineMs = static_cast<double>(lastByteNs_ - writeTickNs_) / 1e6;
            t.floorMs += t.lineMs + static_cast<double>(kPollNs) / 1e6;
        }
        return t;
    }

  private:
    struct Delivery {
        bool pollTick;
        bool handOver;
        bool framePending;
        int64_t startNs;
    };

    void Before(QObject* receiver, QEvent::Type type) {
        MainWindow& window = *rig_.window;
        Delivery d{};
        d.pollTick = type == QEvent::Timer && IsPollTimer(window, receiver);
        d.handOver = type == QEvent::MetaCall && receiver == &window;
        d.framePending = rig_.exchange.commandFrame.length != 0;
        d.startNs = NowNs();
        stack_.push_back(d);
    }

    void After(QObject*, QEvent::Type) {
        const Delivery d = stack_.back();
        stack_.pop_back();
        const int64_t now = NowNs();
        if (d.handOver && writeTickNs_ != 0) {
            lastByteNs_ = now;
        }
        if (!d.pollTick) {
            return;
        }
        lastPollEndNs_ = now;
        if (loop_ == nullptr) {
            return;
        }
        // The serial poll that takes the pending request writes it.
        if (rig_.window->ConnectModeIndex() == kSerialMode && d.framePending &&
            rig_.exchange.commandFrame.length == 0) {
            writeTickNs_ = d.startNs;
        }
        if (doneNs_ == 0 && rig_.Status() == kConfigOk) {
            doneNs_ = now;
            loop_->quit();
        }
    }

    BenchApplication& app_;
    BenchRig& rig_;
    std::vector<Delivery> stack_;
    QEventLoop* loop_ = nullptr;
    int64_t lastPollEndNs_ = 0;
    int64_t writeTickNs_ = 0;
    int64_t lastByteNs_ = 0;
    int64_t doneNs_ = 0;
};

bool RunTrials(ReadBackWatch& watch, int count, const char* measure, bool serial) {
    std::mt19937 random(12345);
    std::vector<double> latency;
    std::vector<double> floor;
    std::vector<double> line;
    for (int i = 0; i < count; ++i) {
        const std::optional<Trial> t = watch.Run(random);
        if (!t) {
            std::fprintf(stderr, "bench: %s: the read-back did not complete\n", measure);
            return false;
        }
        latency.push_back(t->latencyMs);
        floor.push_back(t->floorMs);
        line.push_back(t->lineMs);
    }
    const Stats l = Summarise(latency);
    const Stats f = Summarise(floor);
    const double ratio = l.mean / f.mean;
    std::string figure = Format("%.1f ms mean vs floor %.1f ms = %.3fx", l.mean, f.mean, ratio);
    if (serial) {
        figure += Format(" (reply on the line %.2f ms)", Summarise(line).mean);
    }
    figure += Format(", max excess %.1f ms", [&] {
        double worst = 0;
        for (size_t i = 0; i < latency.size(); ++i) {
            worst = std::max(worst, latency[i] - floor[i]);
        }
        return worst;
    }());
    PrintRow(measure, figure, Format("<= %.2fx floor", kTargetRatio), ratio <= kTargetRatio);
    return true;
}

}  // namespace

int MeasureReadBackLatency() {
    auto* app = static_cast<BenchApplication*>(QCoreApplication::instance());
    BenchRig rig;
    if (!RunUntil([&] { return rig.window->UsbPollRunning(); }, 1000)) {
        std::fputs("bench: the USB poll does not run\n", stderr);
        return 1;
    }
    bool ok = true;
    {
        ReadBackWatch watch(*app, rig);
        RunFor(300);
        ok = RunTrials(watch, kUsbTrials, "3a config read-back latency, USB", false) && ok;
    }
    rig.ChooseConnectMode(kSerialMode);
    if (!rig.window->SerialPollRunning()) {
        std::fputs("bench: the serial port did not open\n", stderr);
        return 1;
    }
    {
        ReadBackWatch watch(*app, rig);
        RunFor(300);
        ok = RunTrials(watch, kSerialTrials, "3b config read-back latency, serial", true) && ok;
    }
    return ok ? 0 : 1;
}

}  // namespace bench
