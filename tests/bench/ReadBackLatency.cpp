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
#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "BenchApplication.h"
#include "BenchRig.h"
#include "BenchSupport.h"
#include "Measures.h"
#include "ReadBackWatch.h"

namespace bench {
namespace {

constexpr double kTargetRatio = 1.10;
constexpr int kUsbTrials = 40;
constexpr int kSerialTrials = 25;

bool RunTrials(ReadBackWatch& watch, int count, const char* measure, bool serial) {
    std::mt19937 random(12345);
    std::vector<double> latency;
    std::vector<double> floor;
    std::vector<double> line;
    for (int i = 0; i < count; ++i) {
        const std::optional<ReadBackTrial> t = watch.Run(random);
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
    BenchApplication& app = BenchApplication::Instance();
    BenchRig rig;
    return rig.Run([&] {
        if (!RunUntil([&] { return rig.window->UsbPollRunning(); }, 1000)) {
            std::fputs("bench: the USB poll does not run\n", stderr);
            return 1;
        }
        bool ok = true;
        {
            ReadBackWatch watch(app, rig);
            RunFor(300);
            ok = RunTrials(watch, kUsbTrials, "3a config read-back latency, USB", false) && ok;
        }
        rig.ChooseConnectMode(kSerialMode);
        if (!rig.window->SerialPollRunning()) {
            std::fputs("bench: the serial port did not open\n", stderr);
            return 1;
        }
        {
            ReadBackWatch watch(app, rig);
            RunFor(300);
            ok = RunTrials(watch, kSerialTrials, "3b config read-back latency, serial", true) && ok;
        }
        return ok ? 0 : 1;
    });
}

}  // namespace bench
