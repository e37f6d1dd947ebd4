#pragma once

#include <QDialog>
#include <QIcon>
#include <QTimer>
#include <functional>

#include "CheckReadTest.h"
#include "ConfigProtocol.h"
#include "DeviceSettings.h"
#include "DeviceWatch.h"
#include "ExchangeHost.h"
#include "ExchangeState.h"
#include "HidChannel.h"
#include "QtForm.h"
#include "SerialExchange.h"
#include "SerialPort.h"
#include "UsbExchange.h"

class QMenu;

// The utility's one window: the form, the window's record and state, the
// connection to the reader and the read test.
class MainWindow : public QDialog, private ExchangeHost {
    Q_OBJECT
  public:
    // Window-menu command ids: the About entry, and the close command that
    // the default handling carries out.
    static constexpr int kAboutCommand = 0x10;
    static constexpr int kCloseCommand = 0xF060;
    static constexpr int kPollIntervalMs = 100;

    MainWindow(ExchangeState& exchange, SerialPort& serialPort, HidChannel& hid,
               DeviceWatch& deviceWatch, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Initialises the window, then runs it modally until Exit or the close box.
    int RunModal();
    void Initialise();

    void OnSysCommand(int commandId);
    QMenu* WindowMenu() const { return windowMenu_; }

    QtForm& Form() { return *form_; }
    const WindowRecord& Record() const { return record_; }
    int ConnectModeIndex() const { return connectModeIndex_; }
    const SerialExchange& Serial() const { return serialExchange_; }
    const UsbExchange& Usb() const { return usbExchange_; }
    const CheckReadTest& ReadTest() const { return readTest_; }
    bool UsbPollRunning() const { return usbPollTimer_.isActive(); }
    bool SerialPollRunning() const { return serialPollTimer_.isActive(); }

    void FillCommandList();
    void FillCodeLists();
    void UpdateTitle();
    void OpenConnection();
    void CloseConnection(int mode);
    int ConnectUsb();
    void ShowDeviceFound();
    bool RegisterDeviceChange();
    void OnDeviceChange(DeviceWatch::Change change);

  signals:
    void aboutRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    // Form events
    void OnClicked(int id);
    void OnSelectionChanged(int id);
    void OnClosedUp(int id);
    void OnCommandTypeChanged();
    void PrepareCommandPanel();
    void OnDeviceTypeNotCustom();
    void OnDeviceNameClosedUp();
    void OnConnectModeClosedUp();

    // ExchangeHost
    void SaveSettings() override { protocol_.Save(); }
    void LoadSettings() override { protocol_.Load(); }
    void FocusComparisonBox() override { form_->FocusComparisonBox(); }
    void ShowCheckReadData(const std::string& text) override;
    void ShowPendingReadData();
    void CompleteCheckRead(const std::string& text) override;
    void DecodeConfigReply(ExchangeResult result, std::span<const uint8_t> reply,
                           int32_t length) override;
    void ReportExchangeResult(ExchangeResult result, std::span<const uint8_t> reply,
                              int32_t length) override;
    void SetSerialTimer() override { serialPollTimer_.start(kPollIntervalMs); }
    void KillSerialTimer() override { serialPollTimer_.stop(); }
    void SetUsbTimer() override { usbPollTimer_.start(kPollIntervalMs); }
    void KillUsbTimer() override { usbPollTimer_.stop(); }
    void BeginUsbExchange() override;
    void EndUsbExchange() override;
    void OnCountAgain();

    void QueueArrivalSearch();
    void SearchArrivedReader(int attemptsLeft);
    void ShowArrivedReader();
    void AppendAboutEntry();
    void ShowWindowMenu(const QPoint& globalPos);
    void SetStatus(const std::string& text);
    const char* ModelName() const;

    ExchangeState& exchange_;
    SerialPort& serialPort_;
    HidChannel& hid_;
    DeviceWatch& deviceWatch_;
    QtForm* form_;
    WindowRecord record_;
    ConfigProtocol protocol_;
    SerialExchange serialExchange_;
    UsbExchange usbExchange_;
    CheckReadTest readTest_;
    QTimer usbPollTimer_;     // timer 1
    QTimer serialPollTimer_;  // timer 4
    static constexpr int kReadDataUpdateMs = 50;
    // While a read is arriving the box shows at most its beginning; a
    // flood would otherwise keep the window busy laying out text.
    static constexpr size_t kShownWhileReading = 4096;
    QTimer readDataUpdate_;
    const std::string* pendingReadData_ = nullptr;  // the read text of a channel
    bool shownReadDataCut_ = false;
    int deviceIndex_;
    int connectModeIndex_;
    QMenu* windowMenu_;
    QIcon icon_;
    // Each opening of a connection; an exchange that outlived one does not
    // restore what the new connection set.
    int connectionGeneration_ = 0;
    bool arrivalSearchQueued_ = false;
    struct ExchangeLocks {
        bool sendCmd;
        bool commandList;
        int generation;
    } exchangeLocks_{};
};
