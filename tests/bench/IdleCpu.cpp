// CPU time of the whole process (every thread) while the window sits idle
// with its poll timers running: timer 1 in USB mode, timer 4 in serial mode
// (where timer 1 ends after its first tick).
#include <cstdlib>

#include "BenchApplication.h"
#include "BenchRig.h"
#include "BenchSupport.h"
#include "Measures.h"

namespace bench {
namespace {

constexpr double kTargetPercent = 0.5;
constexpr int kSettleMs = 1000;

int IdleSeconds() {
    const char* text = std::getenv("TALLISK_BENCH_IDLE_SECONDS");
    const int seconds = text != nullptr ? std::atoi(text) : 0;
    return seconds > 0 ? seconds : 10;
}

void MeasureIdle(const char* measure) {
    const int seconds = IdleSeconds();
    const PollTickCount ticks(BenchApplication::Instance());
    const int64_t cpu = ProcessCpuNs();
    const int64_t wall = NowNs();
    RunFor(seconds * 1000);
    const double percent =
        100.0 * static_cast<double>(ProcessCpuNs() - cpu) / static_cast<double>(NowNs() - wall);
    PrintRow(measure,
             Format("%.3f %% of a core over %.0f s (%.1f poll ticks/s)", percent, seconds,
                    ticks.Ticks() / static_cast<double>(seconds)),
             Format("< %.1f %%", kTargetPercent), percent < kTargetPercent);
}

int MeasureOn(BenchRig& rig) {
    RunFor(kSettleMs);
    if (!rig.window->UsbPollRunning()) {
        std::fputs("bench: the USB poll does not run\n", stderr);
        return 1;
    }
    MeasureIdle("5a idle CPU, USB mode (timer 1)");

    rig.ChooseConnectMode(kSerialMode);
    RunFor(kSettleMs);
    if (!rig.window->SerialPollRunning() || rig.window->UsbPollRunning()) {
        std::fputs("bench: serial mode does not poll as expected\n", stderr);
        return 1;
    }
    MeasureIdle("5b idle CPU, serial mode (timer 4)");
    return 0;
}

}  // namespace

int MeasureIdleCpu() {
    BenchRig rig;
    return rig.Run([&] { return MeasureOn(rig); });
}

}  // namespace bench
