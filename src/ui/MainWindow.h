#pragma once

#include <QDialog>
#include <QIcon>

#include <memory>

#include "channels/common/PollTimer.h"
#include "channels/presence/DeviceWatch.h"
#include "channels/presence/ReaderConnection.h"
#include "channels/serial/SerialExchange.h"
#include "channels/serial/SerialPort.h"
#include "channels/usb/HidChannel.h"
#include "channels/usb/UsbExchange.h"
#include "protocol/ConfigProtocol.h"
#include "protocol/DeviceSettings.h"
#include "protocol/ExchangeState.h"
#include "ui/CheckReadTest.h"
#include "ui/ConnectionSteps.h"
#include "ui/ExchangeSteps.h"
#include "ui/FormSurface.h"
#include "ui/QtForm.h"
#include "ui/ReadDataView.h"

class QMenu;

// The utility's one window: the form, the window's record and state, the
// connection to the reader and the read test.
class MainWindow : public QDialog {
    Q_OBJECT
  public:
    // Window-menu command ids: the About entry, and the close command that
    // the default handling carries out.
    static constexpr int kAboutCommand = 0x10;
    static constexpr int kCloseCommand = 0xF060;

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
    int ConnectModeIndex() const { return connection_.Mode(); }
    const SerialExchange& Serial() const { return serialExchange_; }
    // Where the port hands each received byte over.
    SerialExchange& Serial() { return serialExchange_; }
    const UsbExchange& Usb() const { return usbExchange_; }
    const CheckReadTest& ReadTest() const { return readTest_; }
    ReaderConnection& Connection() { return connection_; }
    bool UsbPollRunning() const { return usbExchange_.Polling(); }
    bool SerialPollRunning() const { return serialExchange_.Polling(); }

    void FillCommandList();
    void FillCodeLists();
    void UpdateTitle();

  signals:
    void aboutRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

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

    void OnCountAgain();
    ExchangeSteps::Window StepsWindow();

    void AppendAboutEntry();
    void ShowWindowMenu(const QPoint& globalPos);

    ExchangeState& exchange_;
    QSize formSize_;  // the form at its own size, from the form's font
    FormFit fit_;     // how it stands on the screen
    QtForm* form_;
    WindowRecord record_;
    ConfigProtocol protocol_;
    CheckReadTest readTest_;
    ReadDataView readData_;
    // The exchanges poll by these; the steps turn what they tell into the
    // window's steps; the connection opens and closes them.
    std::unique_ptr<PollTimer> usbPollTimer_;     // timer 1
    std::unique_ptr<PollTimer> serialPollTimer_;  // timer 4
    ExchangeSteps usbSteps_;
    ExchangeSteps serialSteps_;
    SerialExchange serialExchange_;
    UsbExchange usbExchange_;
    ConnectionSteps connectionSteps_;
    ReaderConnection connection_;
    int deviceIndex_;
    QMenu* windowMenu_;
    QIcon icon_;
};
