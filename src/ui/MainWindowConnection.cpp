// Opening and closing the connection to the reader, the poll timers, and
// the serial exchange's side of the window.
#include <QMetaObject>

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
}  // namespace

const char* MainWindow::ModelName() const {
    return kDeviceModels[static_cast<size_t>(deviceIndex_)].name;
}

void MainWindow::SetStatus(const std::string& text) {
    record_.statusText = text;
    protocol_.Load();
}

void MainWindow::OpenConnection() {
    form_->Enable(ctl::CommandTypeList, false);
    if (connectModeIndex_ == kUsbHidMode) {
        if (ConnectUsb() == kFindOpened) {
            form_->Enable(ctl::CommandTypeList, true);
        }
        form_->EnableTestControls();
        usbPollTimer_.start(kPollIntervalMs);
    } else if (connectModeIndex_ == kSerialMode) {
        if (serialPort_.OpenPort(this, kComPort, kBaud, kParity, kDataBits, kStopBits, kEventMask,
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
    SetStatus(status::kUsbSearching);
    const int result = readerSearch_();
    SetStatus(status::FindResultText(result, ModelName()));
    return result;
}

void MainWindow::CloseConnection(int mode) {
    if (mode == kUsbHidMode) {
        readTest_.OnCountAgain();
    } else if (mode == kSerialMode) {
        serialPollTimer_.stop();
        serialPort_.Shutdown();
        readTest_.OnCountAgain();
    }
}

void MainWindow::OnUsbPoll() {
    usbPollTimer_.stop();
    if (connectModeIndex_ != kUsbHidMode) {
        return;  // in serial mode the first expiry ends it
    }
    usbPollTimer_.start(kPollIntervalMs);
}

void MainWindow::OnSerialMessage(int message, int wParam, int /*lParam*/) {
    if (message == kSerialByteMessage) {
        serialExchange_.OnSerialByte(static_cast<uint8_t>(wParam));
    }
    // A comm event that may be a CTS change needs nothing.
}

void MainWindow::WakeOwner(std::function<void()> serve) {
    QMetaObject::invokeMethod(this, std::move(serve), Qt::QueuedConnection);
}

void MainWindow::ShowCheckReadData(const std::string& text) {
    form_->SetText(ctl::CheckReadDataBox, text);
}

void MainWindow::CompleteCheckRead(const std::string& text) {
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
