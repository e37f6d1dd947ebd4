#include "channels/presence/ReaderConnection.h"

#include <QTimer>

#include "channels/common/Trace.h"
#include "channels/serial/SerialExchange.h"
#include "channels/usb/HidChannel.h"
#include "channels/usb/UsbExchange.h"
#include "platform/advice/FailureAdvice.h"
#include "protocol/ConnectionTexts.h"

namespace {
constexpr int kComPort = 1;
constexpr int kBaud = 9600;
constexpr char kParity = 'N';
constexpr int kDataBits = 8;
constexpr int kStopBits = 1;
constexpr uint32_t kEventMask = kEventRxChar | kEventCts;
constexpr uint32_t kWriteBufferSize = 512;
// A node can appear a moment after its arrival is announced.
constexpr int kArrivalAttempts = 3;
constexpr int kArrivalRetryMs = 200;
}  // namespace

void ReaderConnection::Listener::FailureExplained(const std::string& line) {
    SayFailure(line);
}

ReaderConnection::ReaderConnection(const DeviceModel& model, HidChannel& hid,
                                   SerialPort& serialPort, DeviceWatch& watch, UsbExchange& usb,
                                   SerialExchange& serial, Listener& listener)
    : model_(model),
      hid_(hid),
      serialPort_(serialPort),
      watch_(watch),
      usb_(usb),
      serial_(serial),
      listener_(listener) {}

ReaderConnection::~ReaderConnection() = default;

void ReaderConnection::SetStatus(const std::string& text) {
    listener_.StatusChanged(text);
    listener_.Settled();
}

void ReaderConnection::Open() {
    ++generation_;
    listener_.StateChanged(State::Opening);
    if (mode_ == kUsbHidMode) {
        OpenUsb();
    } else if (mode_ == kSerialMode) {
        OpenSerial();
    }
}

void ReaderConnection::OpenUsb() {
    const bool found = ConnectUsb() == kFindOpened;
    // Registered whatever the search found: a reader plugged in later is
    // noticed only through its arrival, so a failure is said either way.
    if (!RegisterDeviceChange()) {
        listener_.WatchUnavailable();
    }
    if (found) {
        hid_.SetReportType(HidChannel::kConnectReports);
    }
    listener_.StateChanged(found ? State::Connected : State::NotFound);
    usb_.StartPolling();
}

void ReaderConnection::OpenSerial() {
    serialPort_.SetByteHandler([this](uint8_t byte) { serial_.OnSerialByte(byte); });
    if (serialPort_.OpenPort(kComPort, kBaud, kParity, kDataBits, kStopBits, kEventMask,
                             kWriteBufferSize)) {
        serialPort_.StartMonitor();
        listener_.StatusChanged(status::kSerialOpened);
        serial_.StartPolling();
        listener_.StateChanged(State::SerialOpened);
    } else {
        listener_.StatusChanged(status::kSerialOpenFailed);
        listener_.FailureExplained(
            SerialOpenFailureLine(serialPort_.DevicePath(), serialPort_.OpenError()));
        listener_.StateChanged(State::SerialNotOpened);
    }
    // Started in serial mode too: its first expiry ends it.
    usb_.StartPolling();
    listener_.Settled();
}

int ReaderConnection::ConnectUsb() {
    if (!hid_.Init()) {
        SetStatus(status::kUsbChannelFailed);
        return kFindChannelFailed;
    }
    SetStatus(status::kUsbSearching);
    const FindResult result = FindReader();
    if (result == kFindOpened) {
        ShowDeviceFound();
    } else {
        SetStatus(status::FindResultText(result, model_.name));
        if (result == kFindNoMatch || result == kFindNoHidDevice) {
            listener_.FailureExplained(
                ReaderNotFoundLine(model_.vendorId, model_.productId, model_.version));
        }
    }
    return result;
}

FindResult ReaderConnection::FindReader() {
    return hid_.FindDevice(model_.vendorId, model_.productId, model_.version);
}

void ReaderConnection::ShowDeviceFound() {
    // A reader whose node this user may not open, or another program
    // holds, is found all the same; the status says nothing will move.
    SetStatus(hid_.FoundWithoutAccess() ? status::AccessDeniedText(model_.name)
                                        : status::FindResultText(kFindOpened, model_.name));
    ExplainWithoutAccess();
}

void ReaderConnection::ExplainWithoutAccess() {
    if (hid_.FoundInUse()) {
        listener_.FailureExplained(UsbInUseLine(hid_.Reader().path));
    } else if (hid_.FoundWithoutAccess()) {
        listener_.FailureExplained(UsbNoAccessLine(hid_.Reader().path));
    }
}

void ReaderConnection::Close(ConnectMode mode) {
    if (mode == kUsbHidMode) {
        watch_.Unregister();
        hid_.Disconnect();
        listener_.Closed();
    } else if (mode == kSerialMode) {
        serial_.StopPolling();
        serialPort_.Shutdown();
        listener_.Closed();
    }
}

bool ReaderConnection::RegisterDeviceChange() {
    if (watch_.Registered()) {
        return true;
    }
    return watch_.Register([this](DeviceWatch::Change change) { OnDeviceChange(change); });
}

void ReaderConnection::OnDeviceChange(DeviceWatch::Change change) {
    if (mode_ != kUsbHidMode) {
        return;
    }
    if (change == DeviceWatch::Change::Arrival) {
        // Another device arriving while the reader is connected changes nothing.
        if (!hid_.Connected()) {
            QueueArrivalSearch();
        }
        return;
    }
    const bool wasConnected = hid_.Connected();
    const std::string readerPath = hid_.Reader().path;
    // A removal searches again: the reader, if still there, is opened anew.
    if (FindReader() == kFindOpened) {
        if (!wasConnected) {
            // The reader came while another device went, and this event was
            // handled before its arrival: the arrival will not search again.
            ShowArrivedReader();
        }
    } else {
        ++generation_;  // a running exchange must not enable commands again
        listener_.StatusChanged(status::ReaderRemovedText(model_.name));
        if (wasConnected) {
            if (TraceEnabled()) {
                Trace("usb " + readerPath, "", "removed");
            }
            listener_.FailureExplained(ReaderUnpluggedLine(readerPath));
        }
        listener_.StateChanged(State::Removed);
        usb_.StopPolling();
        hid_.SetConnected(false);
    }
    listener_.Settled();
}

void ReaderConnection::QueueArrivalSearch() {
    // Events come in bursts (a hub, a docking station, a device with many
    // interfaces): the events delivered together cost one search.
    if (arrivalSearchQueued_) {
        return;
    }
    arrivalSearchQueued_ = true;
    const int generation = generation_;
    QTimer::singleShot(0, &context_, [this, generation] {
        arrivalSearchQueued_ = false;
        if (generation == generation_) {
            SearchArrivedReader(kArrivalAttempts);
        }
    });
}

void ReaderConnection::SearchArrivedReader(int attemptsLeft) {
    if (mode_ != kUsbHidMode || hid_.Connected()) {
        return;
    }
    if (FindReader() == kFindOpened) {
        ShowArrivedReader();
    } else if (attemptsLeft > 1 && hid_.ReaderListed()) {
        // Listed but not usable yet: its node may be a moment behind its
        // announcement. A device that is not the reader is not waited for.
        const int generation = generation_;
        QTimer::singleShot(kArrivalRetryMs, &context_, [this, attemptsLeft, generation] {
            if (generation == generation_) {
                SearchArrivedReader(attemptsLeft - 1);
            }
        });
    }
    listener_.Settled();
}

void ReaderConnection::ShowArrivedReader() {
    ++generation_;
    // A reader whose node this user may not open says so, as at start-up.
    listener_.StatusChanged(hid_.FoundWithoutAccess() ? status::AccessDeniedText(model_.name)
                                                      : status::ReaderConnectedText(model_.name));
    ExplainWithoutAccess();
    listener_.StateChanged(State::Connected);
    usb_.StartPolling();
    hid_.SetConnected(true);
}
