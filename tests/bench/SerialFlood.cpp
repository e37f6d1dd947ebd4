// A flood of bytes written into the far end of a pseudo-terminal, read by
// the real SerialPort monitor thread and handed over to the window one byte
// at a time: bytes per second from the first write to the hand-over of the
// last byte.
#include <sched.h>

#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "BenchRig.h"
#include "BenchSupport.h"
#include "Measures.h"
#include "protocol/CommandSet.h"

namespace bench {
namespace {

constexpr double kLineRate = 960;  // bytes per second at 9600 baud, 10 bits a byte
constexpr double kTargetMultiple = 50;
constexpr int kRuns = 5;
constexpr int kFloodLimitMs = 30'000;
constexpr int kWaitMs = 3000;
constexpr size_t kReplyFloodBytes = 9600;  // ten seconds of the line
constexpr size_t kReadFloodBytes = 1024;

// The real tty device, counting the bytes the monitor thread reads. Once the
// expected number has been read, the monitor's next look at the input queue
// comes after the last byte's hand-over has returned: that is the end.
class CountingDevice : public SerialDevice {
  public:
    void Expect(int64_t bytes, std::function<void()> onDone) {
        onDone_ = std::move(onDone);
        doneNs_ = 0;
        read_ = 0;
        expected_ = bytes;
    }
    int64_t DoneNs() const { return doneNs_.load(); }

    int Open(const std::string& path) override { return inner_.Open(path); }
    void Close() override { inner_.Close(); }
    bool IsOpen() const override { return inner_.IsOpen(); }
    int PollHandle() const override { return inner_.PollHandle(); }
    int SetTimeouts(const SerialTimeouts& t) override { return inner_.SetTimeouts(t); }
    int SetEventMask(uint32_t mask) override { return inner_.SetEventMask(mask); }
    int GetLineSettings(LineSettings& s) override { return inner_.GetLineSettings(s); }
    int SetLineSettings(const LineSettings& s) override { return inner_.SetLineSettings(s); }
    int Purge() override { return inner_.Purge(); }
    int Write(std::span<const uint8_t> bytes) override { return inner_.Write(bytes); }
    int ReadByte(uint8_t& byte) override {
        const int error = inner_.ReadByte(byte);
        if (error == 0) {
            ++read_;
        }
        return error;
    }
    int QueuedInput(int& count) override {
        const int error = inner_.QueuedInput(count);
        if (count == 0 && expected_ > 0 && read_ >= expected_ && doneNs_ == 0) {
            doneNs_ = NowNs();
            if (onDone_) {
                onDone_();
            }
        }
        return error;
    }

  private:
    PosixSerialDevice inner_;
    std::atomic<int64_t> read_{0};
    std::atomic<int64_t> expected_{-1};
    std::atomic<int64_t> doneNs_{0};
    std::function<void()> onDone_;
};

struct FloodRun {
    double rate;        // bytes per second, wall time
    double cpuPerByte;  // microseconds of process CPU time (all threads) per byte
};

// One flood, first write to last hand-over.
FloodRun Flood(BenchRig& rig, CountingDevice& device, const std::vector<uint8_t>& bytes) {
    QEventLoop loop;
    device.Expect(static_cast<int64_t>(bytes.size()), [&loop] {
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer::singleShot(kFloodLimitMs, &loop, &QEventLoop::quit);
    std::atomic<int64_t> startNs{0};
    const int64_t cpu = ProcessCpuNs();
    std::thread feeder([&] {
        startNs = NowNs();
        rig.serialReader.Send(bytes);
    });
    loop.exec();
    feeder.join();
    const double cpuNs = static_cast<double>(ProcessCpuNs() - cpu);
    const int64_t done = device.DoneNs();
    if (done == 0) {
        std::fputs("bench: the flood was not handled in time\n", stderr);
        return {0, 0};
    }
    const auto n = static_cast<double>(bytes.size());
    return {n * 1e9 / static_cast<double>(done - startNs), cpuNs / n / 1000.0};
}

std::vector<FloodRun> Floods(BenchRig& rig, CountingDevice& device,
                             const std::vector<uint8_t>& bytes,
                             const std::function<bool()>& prepare) {
    std::vector<FloodRun> runs;
    for (int i = 0; i < kRuns; ++i) {
        if (!prepare()) {
            std::fputs("bench: could not prepare the flood\n", stderr);
            return {};
        }
        runs.push_back(Flood(rig, device, bytes));
        // The burst ends 100 ms after the last byte.
        RunUntil([&] { return !rig.window->Serial().BurstActive(); }, kWaitMs);
    }
    return runs;
}

// The median rate, the spread of the runs, and the CPU time a byte costs:
// on a busy machine the rate falls with the time the threads wait for a
// core, while the CPU time stays what the path itself costs.
void PrintFloodRow(const std::string& measure, const std::vector<FloodRun>& runs,
                   const std::string& note = std::string()) {
    std::vector<double> rates;
    std::vector<double> cpu;
    for (const FloodRun& r : runs) {
        rates.push_back(r.rate);
        cpu.push_back(r.cpuPerByte);
    }
    const Stats s = Summarise(rates);
    const double multiple = s.median / kLineRate;
    const double low = rates.empty() ? 0 : *std::min_element(rates.begin(), rates.end());
    PrintRow(measure,
             Format("%.0f bytes/s = %.1fx line rate", s.median, multiple) +
                 Format(" (runs %.1fx-%.1fx)", low / kLineRate, s.max / kLineRate) +
                 Format("; %.1f us a byte, %.1f us CPU", s.median > 0 ? 1e6 / s.median : 0,
                        Summarise(cpu).median) +
                 note,
             Format(">= %.0fx (%.0f bytes/s)", kTargetMultiple, kTargetMultiple * kLineRate),
             multiple >= kTargetMultiple);
}

// Any bytes: the reply buffer keeps the first 1024, the rest are dropped.
std::vector<uint8_t> Digits(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<uint8_t>('0' + i % 10);
    }
    return bytes;
}

// The round trip of a bare hand-over between two threads (a mutex and a
// condition variable, as the port's hand-over has at its core), in
// microseconds: what the machine itself charges for waking a thread.
double BareRoundTripUs() {
    constexpr int kTrips = 5000;
    std::mutex lock;
    std::condition_variable changed;
    bool served = true;
    std::thread other([&] {
        for (int i = 0; i < kTrips; ++i) {
            std::unique_lock<std::mutex> l(lock);
            changed.wait(l, [&] { return !served; });
            served = true;
            changed.notify_all();
        }
    });
    const int64_t start = NowNs();
    for (int i = 0; i < kTrips; ++i) {
        std::unique_lock<std::mutex> l(lock);
        served = false;
        changed.notify_all();
        changed.wait(l, [&] { return served; });
    }
    const int64_t end = NowNs();
    other.join();
    return static_cast<double>(end - start) / kTrips / 1000.0;
}

// Keeps this thread, and every thread started after it, on one core.
bool PinToOneCore() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) != 0) {
        return false;
    }
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &set)) {
            CPU_ZERO(&set);
            CPU_SET(cpu, &set);
            return ::sched_setaffinity(0, sizeof set, &set) == 0;
        }
    }
    return false;
}

int MeasureOn(BenchRig& rig, CountingDevice& device, bool oneCore, const std::string& note) {
    rig.ChooseConnectMode(kSerialMode);
    if (!rig.window->SerialPollRunning()) {
        std::fputs("bench: the serial port did not open\n", stderr);
        return 1;
    }
    const SerialExchange& serial = rig.window->Serial();
    auto idle = [&] { return !serial.BurstActive() && !serial.AwaitingReply(); };
    RunFor(300);  // timer 1 has had its one tick in serial mode

    // Into an awaited reply: the reader stays silent after the read request
    // and the flood is taken as the reply (the buffer keeps the first 1024).
    rig.serialReader.WithModel([](ReaderModel& m) { m.faults.silent = true; });
    const std::vector<FloodRun> reply = Floods(rig, device, Digits(kReplyFloodBytes), [&] {
        // The port drops unread input before it writes: the flood starts
        // once the request has reached the reader.
        const size_t frames = rig.serialReader.ReceivedFrames().size();
        rig.ChooseCommand(kDeviceTypeSetup);
        return RunUntil(
            [&] {
                return serial.AwaitingReply() && rig.serialReader.ReceivedFrames().size() > frames;
            },
            kWaitMs);
    });
    if (oneCore) {
        PrintFloodRow("2a' the same, every thread on one core", reply, note);
        return 0;
    }
    PrintFloodRow("2a serial flood 9600 B end to end, awaited reply", reply, note);

    // As read data: cheque reads back to back, as the simulated reader
    // formats them, with no pause between them: one burst, whose text the
    // window shows whole again after every byte.
    const std::vector<FloodRun> reads =
        Floods(rig, device, ChequeReads(kReadFloodBytes), [&] { return RunUntil(idle, kWaitMs); });
    PrintFloodRow("2b serial flood 1 KiB end to end, cheque reads", reads);
    return 0;
}

}  // namespace

int MeasureSerialFlood(bool oneCore) {
    if (oneCore && !PinToOneCore()) {
        std::fputs("bench: cannot keep the threads on one core\n", stderr);
        return 1;
    }
    const std::string note = Format("; bare thread round trip %.1f us", BareRoundTripUs());
    auto owned = std::make_unique<CountingDevice>();
    CountingDevice& device = *owned;
    BenchRig rig(std::move(owned));
    return rig.Run([&] { return MeasureOn(rig, device, oneCore, note); });
}

}  // namespace bench
