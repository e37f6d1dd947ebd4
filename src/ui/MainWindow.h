#pragma once

#include <QDialog>
#include <QIcon>

#include <memory>

#include "channels/presence/ReaderStack.h"
#include "form/ConfigProtocol.h"
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

    // The window works the reader through the stack, which outlives it.
    explicit MainWindow(ReaderStack& reader, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Initialises the window, then runs it modally until Exit or the close box.
    int RunModal();
    void Initialise();

    void OnSysCommand(int commandId);
    QMenu* WindowMenu() const { return windowMenu_; }

    QtForm& Form() { return *form_; }
    const WindowRecord& Record() const { return record_; }
    int ConnectModeIndex() const { return reader_.Connection().Mode(); }
    int32_t CommandType() const { return protocol_.CommandType(); }
    const SerialExchange& Serial() const { return reader_.Serial(); }
    const UsbExchange& Usb() const { return reader_.Usb(); }
    const CheckReadTest& ReadTest() const { return readTest_; }
    ReaderConnection& Connection() { return reader_.Connection(); }
    bool UsbPollRunning() const { return reader_.Usb().Polling(); }
    bool SerialPollRunning() const { return reader_.Serial().Polling(); }

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

    ReaderStack& reader_;
    QSize formSize_;  // the form at its own size, from the form's font
    FormFit fit_;     // how it stands on the screen
    QtForm* form_;
    WindowRecord record_;
    ConfigProtocol protocol_;
    CheckReadTest readTest_;
    ReadDataView readData_;
    // The steps turn what the exchanges and the connection tell into the
    // window's steps.
    ExchangeSteps usbSteps_;
    ExchangeSteps serialSteps_;
    ConnectionSteps connectionSteps_;
    int deviceIndex_;
    QMenu* windowMenu_;
    QIcon icon_;
};
