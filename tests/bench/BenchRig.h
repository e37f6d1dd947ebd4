#pragma once

#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PtyReaderLink.h"
#include "ReadFormatter.h"
#include "SimulatedDeviceWatch.h"
#include "SimulatedHidPlatform.h"
#include "app/ProgramObjects.h"
#include "app/UtilityApp.h"
#include "form/ControlIds.h"
#include "ui/MainWindow.h"

namespace bench {

inline const std::string kConfigOk = "Status: Read Device Config Ok,Please Preserve After Change!";
inline constexpr int kUsbMode = 0;
inline constexpr int kSerialMode = 1;

// Cheque reads back to back, framing included, as the simulated reader sends
// them, cut at n bytes.
inline std::vector<uint8_t> ChequeReads(size_t n) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; bytes.size() < n; ++i) {
        const std::vector<uint8_t> read =
            FormatChequeRead(ReaderModel::DefaultConfig(), kSampleChequeLines[i % 3]);
        bytes.insert(bytes.end(), read.begin(), read.end());
    }
    bytes.resize(n);
    return bytes;
}

// The main window as the utility makes, wires and runs it (UtilityApp::Run),
// with the simulated reader both on USB and at the far end of a
// pseudo-terminal that COM1 points at. The serial port may be given its own
// device (to count what it reads).
class BenchRig {
  private:
    // Made first, so that the references below name them; the program's
    // objects own them.
    std::unique_ptr<SimulatedHidPlatform> ownDevices_ = std::make_unique<SimulatedHidPlatform>();
    std::unique_ptr<SimulatedDeviceWatch> ownWatch_ =
        std::make_unique<SimulatedDeviceWatch>(*ownDevices_);

  public:
    explicit BenchRig(std::unique_ptr<SerialDevice> serialDevice = nullptr)
        : program(std::move(ownDevices_), std::move(ownWatch_), std::move(serialDevice)) {
        usbReader = hidDevices.AddReader();
        if (!serialReader.Start()) {
            std::fputs("bench: no pseudo-terminal for the serial reader\n", stderr);
            std::exit(2);
        }
        ::setenv("TALLISK_COM1", serialReader.Path().c_str(), 1);
        window = program.MakeWindow();
        UtilityApp::WireSerialPort(serialPort, window.get());
        UtilityApp::WireWindow(*window);
    }
    BenchRig(const BenchRig&) = delete;
    BenchRig& operator=(const BenchRig&) = delete;
    ~BenchRig() {
        window.reset();
        serialReader.Stop();
        ::unsetenv("TALLISK_COM1");
    }

    // Runs the window modally as the program does (start-up, then the
    // dialog's own run) and runs body inside that run, the window shown and
    // started; the run ends when body returns, with body's result.
    int Run(const std::function<int()>& body) {
        int result = 1;
        QTimer::singleShot(0, window.get(), [&] {
            result = body();
            window->done(0);
        });
        window->RunModal();
        return result;
    }

    QtForm& Form() { return window->Form(); }
    std::string Status() { return Form().Text(ctl::StatusLine); }

    void ChooseConnectMode(int mode) { Choose(ctl::ConnectModeList, mode); }
    void ChooseCommand(int type) { Choose(ctl::CommandTypeList, type); }
    void Choose(int listId, int index) {
        if (!Form().Choose(listId, index)) {
            std::fprintf(stderr, "bench: entry %d of list %d could not be chosen\n", index, listId);
        }
    }

    SimulatedHidPlatform& hidDevices = *ownDevices_;
    SimulatedDeviceWatch& deviceWatch = *ownWatch_;
    ProgramObjects program;
    ReaderStack& readerStack = program.reader;
    SerialPort& serialPort = readerStack.Port();
    HidChannel& hid = readerStack.Hid();
    PtyReaderLink serialReader;
    int usbReader = 0;
    std::unique_ptr<MainWindow> window;
};

}  // namespace bench
