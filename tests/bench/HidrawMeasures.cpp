// Measures of the window on the system's HID path (hidapi on hidraw, the
// udev monitor) with fake devices in a umockdev testbed; runs under the
// umockdev preload, started by the benchmark driver.
//
//   bench_hidraw --measure arrival        reader node appearing to "Connected"
//   bench_hidraw --measure slow-reader    longest event-loop stall while a
//                                         reader takes 1 s a feature transfer
#include <QApplication>
#include <cstring>

#include "BenchSupport.h"
#include "ReaderModel.h"
#include "SystemDeviceWindow.h"
#include "app/UtilityApp.h"
#include "protocol/CommandSet.h"

namespace {

constexpr int kArrivals = 20;
constexpr double kArrivalTargetMs = 50;
constexpr int kTransferMs = 1000;
constexpr double kStallTargetMs = 100;
const std::string kConfigOk = "Status: Read Device Config Ok,Please Preserve After Change!";

int MeasureArrival() {
    HidTestbed bed;
    bed.Add(kMouse);
    WindowOnSystemDevices utility;
    std::vector<double> totalMs;
    std::vector<double> testbedMs;
    for (int i = 0; i < kArrivals; ++i) {
        bench::RunFor(50);
        const int64_t start = bench::NowNs();
        const std::string path = bed.Add(kReader);
        const int64_t added = bench::NowNs();
        if (path.empty() ||
            !bench::RunUntil([&] { return utility.Status() == "Status: Tallisk Is Connected!"; },
                             5000)) {
            std::fprintf(stderr, "bench: the reader was not connected: %s\n",
                         utility.Status().c_str());
            return 1;
        }
        totalMs.push_back(static_cast<double>(bench::NowNs() - start) / 1e6);
        testbedMs.push_back(static_cast<double>(added - start) / 1e6);
        bed.Remove(path);
        bench::RunUntil([&] { return utility.Status() != "Status: Tallisk Is Connected!"; }, 5000);
    }
    const bench::Stats total = bench::Summarise(totalMs);
    const bench::Stats testbed = bench::Summarise(testbedMs);
    bench::PrintRow("6a reader node appearing to \"Status: Tallisk Is Connected!\"",
                    bench::Format("%.1f ms median (max %.1f), of which the testbed's own making "
                                  "of the device %.1f ms",
                                  total.median, total.max, testbed.median),
                    bench::Format("<= %.0f ms", kArrivalTargetMs),
                    total.median <= kArrivalTargetMs);
    return 0;
}

int MeasureSlowReader() {
    HidTestbed bed;
    const std::string path = bed.Add(kReader);
    FakeHidNode* node = bed.Node(path);
    const ConfigBlock config = ReaderModel::DefaultConfig();
    Bytes reply(65, 0);
    std::copy(config.begin(), config.end(), reply.begin() + 1);
    node->Locked([&](FakeHidNode::State& s) { s.featureReport = reply; });
    node->SlowFeatures(std::chrono::milliseconds(kTransferMs));
    WindowOnSystemDevices utility;

    // A precise 1 ms timer: the longest gap between its ticks is the longest
    // time the window's thread handled no event.
    int64_t last = bench::NowNs();
    int64_t worst = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const int64_t now = bench::NowNs();
        worst = std::max(worst, now - last);
        last = now;
    });
    probe.start(1);
    const int64_t start = bench::NowNs();
    utility.Form().Choose(ctl::CommandTypeList, kDeviceTypeSetup);
    const bool done =
        bench::RunUntil([&] { return utility.Status() == kConfigOk; }, 4 * kTransferMs + 5000);
    const double exchangeMs = static_cast<double>(bench::NowNs() - start) / 1e6;
    probe.stop();
    if (!done) {
        std::fprintf(stderr, "bench: the slow read did not complete: %s\n",
                     utility.Status().c_str());
        return 1;
    }
    const double worstMs = static_cast<double>(worst) / 1e6;
    bench::PrintRow("6b longest event-loop stall, reader taking 1 s a feature transfer",
                    bench::Format("%.1f ms over a %.0f ms configuration read", worstMs, exchangeMs),
                    bench::Format("<= %.0f ms", kStallTargetMs), worstMs <= kStallTargetMs);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::strcmp(argv[1], "--measure") != 0) {
        std::fputs("usage: bench_hidraw --measure arrival|slow-reader\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    UtilityApp::PrepareApplication(app);
    if (std::strcmp(argv[2], "arrival") == 0) {
        return MeasureArrival();
    }
    if (std::strcmp(argv[2], "slow-reader") == 0) {
        return MeasureSlowReader();
    }
    std::fprintf(stderr, "bench_hidraw: no measure named %s\n", argv[2]);
    return 2;
}
