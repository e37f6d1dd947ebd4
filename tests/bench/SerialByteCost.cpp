// The window thread's cost of one received serial byte: the whole handling
// that the monitor thread's hand-over runs (the port's delivery of the byte
// to the window), called here directly on the port of a window in serial
// mode, byte by byte, each call timed on its own.
#include <utility>
#include <vector>

#include "BenchRig.h"
#include "BenchSupport.h"
#include "Measures.h"
#include "protocol/CommandSet.h"

namespace bench {
namespace {

constexpr double kByteTimeUs = 1e6 * 10 / 9600;  // start, 8 data and stop bits at 9600 baud
constexpr double kTargetUs = 20;
constexpr int kReads = 30;
constexpr int kReplies = 30;
constexpr size_t kLongReadTail = 64;
constexpr int kWaitMs = 3000;

double TimeOneByte(SerialPort& port, uint8_t byte) {
    const int64_t start = NowNs();
    port.DeliverByte(byte);
    return static_cast<double>(NowNs() - start) / 1000.0;
}

void PrintByteRow(const std::string& measure, const Stats& s) {
    PrintRow(measure,
             Format("%.1f us mean (median %.1f, p99 %.1f)", s.mean, s.median, s.p99) +
                 Format(" = %.1f %% of a byte time", 100.0 * s.mean / kByteTimeUs),
             Format("< %.0f us (byte: %.0f us)", kTargetUs, kByteTimeUs), s.mean < kTargetUs);
}

int MeasureOn(BenchRig& rig) {
    rig.ChooseConnectMode(kSerialMode);
    if (!rig.window->SerialPollRunning()) {
        std::fputs("bench: the serial port did not open\n", stderr);
        return 1;
    }
    SerialPort& port = rig.serialPort;
    const SerialExchange& serial = rig.window->Serial();
    auto burstOver = [&] { return !serial.BurstActive(); };

    // Out of a reply: cheque reads, as the reader sends them.
    std::vector<double> readBytes;
    for (int i = 0; i < kReads; ++i) {
        const std::vector<uint8_t> read = FormatChequeRead(
            ReaderModel::DefaultConfig(), kSampleChequeLines[static_cast<size_t>(i) % 3]);
        for (uint8_t b : read) {
            readBytes.push_back(TimeOneByte(port, b));
        }
        if (!RunUntil(burstOver, kWaitMs)) {
            std::fputs("bench: a read was not completed\n", stderr);
            return 1;
        }
    }

    // Inside an awaited reply: the configuration block after the read
    // request. The reader stays silent and its reply is handed over here.
    rig.serialReader.WithModel([](ReaderModel& m) { m.faults.silent = true; });
    const ConfigBlock block = ReaderModel::DefaultConfig();
    std::vector<double> replyBytes;
    for (int i = 0; i < kReplies; ++i) {
        rig.ChooseCommand(kDeviceTypeSetup);
        if (!RunUntil([&] { return serial.AwaitingReply(); }, kWaitMs)) {
            std::fputs("bench: the read request was not written\n", stderr);
            return 1;
        }
        for (uint8_t b : block) {
            replyBytes.push_back(TimeOneByte(port, b));
        }
        if (!RunUntil([&] { return rig.Status() == kConfigOk; }, kWaitMs)) {
            std::fputs("bench: the reply was not decoded\n", stderr);
            return 1;
        }
    }

    // Late in a long burst of read data (cheque reads with no pause between
    // them): the whole text so far is shown again per byte. The last bytes
    // of each burst are timed.
    const struct {
        const char* label;
        size_t bytes;
        int runs;
    } bursts[] = {
        {"1c serial byte, window thread, 1 KiB into a burst of reads", 1024, 3},
        {"1d serial byte, window thread, 4 KiB into a burst of reads", 4096, 1},
    };
    std::vector<std::pair<const char*, Stats>> late;
    for (const auto& burst : bursts) {
        std::vector<double> tail;
        const std::vector<uint8_t> bytes = ChequeReads(burst.bytes);
        for (int i = 0; i < burst.runs; ++i) {
            for (size_t k = 0; k < bytes.size(); ++k) {
                const double us = TimeOneByte(port, bytes[k]);
                if (k >= bytes.size() - kLongReadTail) {
                    tail.push_back(us);
                }
            }
            if (!RunUntil(burstOver, kWaitMs)) {
                std::fputs("bench: a long read was not completed\n", stderr);
                return 1;
            }
        }
        late.emplace_back(burst.label, Summarise(tail));
    }

    PrintByteRow("1a serial byte, window thread, cheque read", Summarise(readBytes));
    PrintByteRow("1b serial byte, window thread, awaited reply", Summarise(replyBytes));
    for (const auto& [label, stats] : late) {
        PrintByteRow(label, stats);
    }
    return 0;
}

}  // namespace

int MeasureSerialByteCost() {
    BenchRig rig;
    return rig.Run([&] { return MeasureOn(rig); });
}

}  // namespace bench
