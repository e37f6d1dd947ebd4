// Opening and closing the connection to the reader, the poll timers, and
// the serial exchange's side of the window.
#include <QMessageBox>
#include <QTimer>

#include "ConnectionTexts.h"
#include "ControlIds.h"
#include "MainWindow.h"
#include "NameTables.h"

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

const char* MainWindow::ModelName() const {
    return kDeviceModels[static_cast<size_t>(deviceIndex_)].name;
}

void MainWindow::SetStatus(const std::string& text) {
    record_.statusText = text;
    protocol_.Load();
}

void MainWindow::OpenConnection() {
    ++connectionGeneration_;
    form_->Enable(ctl::CommandTypeList, false);
    if (connectModeIndex_ == kUsbHidMode) {
        const bool found = ConnectUsb() == kFindOpened;
        // Registered whatever the search found: a reader plugged in later is
        // noticed only through its arrival, so a failure is said either way.
        if (!RegisterDeviceChange()) {
            QMessageBox::information(this, QStringLiteral("Tallisk"),
                                     QStringLiteral("Can Not Register Current USB_HID!"));
        }
        if (found) {
            form_->Enable(ctl::CommandTypeList, true);
            hid_.SetReportType(HidChannel::kConnectReports);
        }
        form_->EnableTestControls();
        usbPollTimer_.start(kPollIntervalMs);
    } else if (connectModeIndex_ == kSerialMode) {
        serialPort_.SetByteHandler([this](uint8_t byte) { serialExchange_.OnSerialByte(byte); });
        if (serialPort_.OpenPort(kComPort, kBaud, kParity, kDataBits, kStopBits, kEventMask,
                                 kWriteBufferSize)) {
            serialPort_.StartMonitor();
            form_->Enable(ctl::CommandTypeList, true);
            record_.statusText = status::kSerialOpened;
            serialPollTimer_.start(kPollIntervalMs);
        } else {
            record_.statusText = status::kSerialOpenFailed;
        }
        form_->EnableTestControls();
        usbPollTimer_.start(kPollIntervalMs);
        protocol_.Load();
    }
}

int MainWindow::ConnectUsb() {
    if (!hid_.Init()) {
        SetStatus(status::kUsbChannelFailed);
        return kFindChannelFailed;
    }
    SetStatus(status::kUsbSearching);
    const DeviceModel& model = kDeviceModels[static_cast<size_t>(deviceIndex_)];
    const int result = hid_.FindDevice(model.vendorId, model.productId, model.version);
    if (result == kFindOpened) {
        ShowDeviceFound();
    } else {
        SetStatus(status::FindResultText(result, ModelName()));
    }
    return result;
}

void MainWindow::ShowDeviceFound() {
    // A reader whose node this user may not open is found all the same;
    // the status says why nothing will move.
    SetStatus(hid_.FoundWithoutAccess() ? status::AccessDeniedText(ModelName())
                                        : status::FindResultText(kFindOpened, ModelName()));
}

void MainWindow::CloseConnection(int mode) {
    if (mode == kUsbHidMode) {
        deviceWatch_.Unregister();
        hid_.Disconnect();
        OnCountAgain();
    } else if (mode == kSerialMode) {
        serialPollTimer_.stop();
        serialPort_.Shutdown();
        OnCountAgain();
    }
}

bool MainWindow::RegisterDeviceChange() {
    // One registration per connection.
    if (deviceWatch_.Registered()) {
        return true;
    }
    return deviceWatch_.Register([this](DeviceWatch::Change change) { OnDeviceChange(change); });
}

void MainWindow::OnDeviceChange(DeviceWatch::Change change) {
    if (connectModeIndex_ != kUsbHidMode) {
        return;
    }
    if (change == DeviceWatch::Change::Arrival) {
        // Another device arriving while the reader is connected changes nothing.
        if (!hid_.Connected()) {
            QueueArrivalSearch();
        }
        return;
    }
    const DeviceModel& model = kDeviceModels[static_cast<size_t>(deviceIndex_)];
    const bool wasConnected = hid_.Connected();
    // A removal searches again: the reader, if still there, is opened anew.
    if (hid_.FindDevice(model.vendorId, model.productId, model.version) == kFindOpened) {
        if (!wasConnected) {
            // The reader came while another device went, and this event was
            // handled before its arrival: the arrival will not search again.
            ShowArrivedReader();
        }
    } else {
        ++connectionGeneration_;  // a running exchange must not enable the list again
        form_->Enable(ctl::CommandTypeList, false);
        record_.statusText = status::ReaderRemovedText(ModelName());
        form_->DisableTestControls();
        usbPollTimer_.stop();
        hid_.SetConnected(false);
    }
    protocol_.Load();
}

void MainWindow::QueueArrivalSearch() {
    // Events come in bursts (a hub, a docking station, a device with many
    // interfaces): the events delivered together cost one search.
    if (arrivalSearchQueued_) {
        return;
    }
    arrivalSearchQueued_ = true;
    const int generation = connectionGeneration_;
    QTimer::singleShot(0, this, [this, generation] {
        arrivalSearchQueued_ = false;
        if (generation == connectionGeneration_) {
            SearchArrivedReader(kArrivalAttempts);
        }
    });
}

void MainWindow::SearchArrivedReader(int attemptsLeft) {
    if (connectModeIndex_ != kUsbHidMode || hid_.Connected()) {
        return;
    }
    const DeviceModel& model = kDeviceModels[static_cast<size_t>(deviceIndex_)];
    if (hid_.FindDevice(model.vendorId, model.productId, model.version) == kFindOpened) {
        ShowArrivedReader();
    } else if (attemptsLeft > 1 && hid_.ReaderListed()) {
        // Listed but not usable yet: its node may be a moment behind its
        // announcement. A device that is not the reader is not waited for.
        const int generation = connectionGeneration_;
        QTimer::singleShot(kArrivalRetryMs, this, [this, attemptsLeft, generation] {
            if (generation == connectionGeneration_) {
                SearchArrivedReader(attemptsLeft - 1);
            }
        });
    }
    protocol_.Load();
}

void MainWindow::ShowArrivedReader() {
    ++connectionGeneration_;
    // A reader whose node this user may not open says so, as at start-up.
    record_.statusText = hid_.FoundWithoutAccess() ? status::AccessDeniedText(ModelName())
                                                   : status::ReaderConnectedText(ModelName());
    form_->Enable(ctl::CommandTypeList, true);
    form_->EnableTestControls();
    usbPollTimer_.start(kPollIntervalMs);
    hid_.SetConnected(true);
}

void MainWindow::OnCountAgain() {
    readDataUpdate_.stop();
    usbExchange_.ResetKeys();
    readTest_.OnCountAgain();
}

void MainWindow::BeginUsbExchange() {
    exchangeLocks_ = {form_->IsEnabled(ctl::SendCmd), form_->IsEnabled(ctl::CommandTypeList),
                      connectionGeneration_};
    form_->Enable(ctl::SendCmd, false);
    form_->Enable(ctl::CommandTypeList, false);
}

void MainWindow::EndUsbExchange() {
    // Send Cmd is the exchange's alone to restore; the Command Type list
    // follows the connection when that changed during the wait.
    form_->Enable(ctl::SendCmd, exchangeLocks_.sendCmd);
    if (exchangeLocks_.generation == connectionGeneration_) {
        form_->Enable(ctl::CommandTypeList, exchangeLocks_.commandList);
    }
}

void MainWindow::ShowCheckReadData(const std::string& text) {
    // A read grows by one character at a time, and laying out the whole
    // text again for each one costs more than the character takes on the
    // line. The box catches up with the read a few times a second; the
    // text itself lives on in the exchange until the read is complete.
    pendingReadData_ = &text;
    if (!readDataUpdate_.isActive()) {
        readDataUpdate_.start(kReadDataUpdateMs);
    }
}

void MainWindow::ShowPendingReadData() {
    if (pendingReadData_ == nullptr) {
        return;
    }
    const std::string& text = *pendingReadData_;
    if (text.size() <= kShownWhileReading) {
        form_->SetText(ctl::CheckReadDataBox, text);
        shownReadDataCut_ = false;
    } else if (!shownReadDataCut_) {
        form_->SetText(ctl::CheckReadDataBox, text.substr(0, kShownWhileReading));
        shownReadDataCut_ = true;
    }
}

void MainWindow::CompleteCheckRead(const std::string& text) {
    readDataUpdate_.stop();
    readTest_.CompleteCheckRead(text, record_.comparison != 0);
}

void MainWindow::DecodeConfigReply(ExchangeResult result, std::span<const uint8_t> reply,
                                   int32_t length) {
    protocol_.DecodeConfigReply(result, reply, length);
}

void MainWindow::ReportExchangeResult(ExchangeResult result, std::span<const uint8_t> reply,
                                      int32_t length) {
    protocol_.ReportExchangeResult(result, reply, length);
}
