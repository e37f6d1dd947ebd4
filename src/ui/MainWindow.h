#pragma once

#include <QDialog>
#include <QIcon>
#include <functional>

#include "ConfigProtocol.h"
#include "DeviceSettings.h"
#include "ExchangeState.h"
#include "QtForm.h"

class QMenu;

// The utility's one window: the form, the window's record and state, and
// what it does at start-up and with its window menu.
class MainWindow : public QDialog {
    Q_OBJECT
  public:
    // Window-menu command ids: the About entry, and the close command that
    // the default handling carries out.
    static constexpr int kAboutCommand = 0x10;
    static constexpr int kCloseCommand = 0xF060;

    explicit MainWindow(ExchangeState& exchange, QWidget* parent = nullptr);

    // Initialises the window, then runs it modally until Exit or the close box.
    int RunModal();
    void Initialise();

    // Stands in for the USB search until the channel exists: returns a
    // find result.
    void SetReaderSearch(std::function<int()> search) { readerSearch_ = std::move(search); }

    void OnSysCommand(int commandId);
    QMenu* WindowMenu() const { return windowMenu_; }

    QtForm& Form() { return *form_; }
    const WindowRecord& Record() const { return record_; }
    int ConnectModeIndex() const { return connectModeIndex_; }

    void FillCommandList();
    void FillCodeLists();
    void UpdateTitle();
    void OpenConnection();
    int ConnectUsb();

  signals:
    void aboutRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void AppendAboutEntry();
    void ShowWindowMenu(const QPoint& globalPos);
    void SetStatus(const std::string& text);

    ExchangeState& exchange_;
    QtForm* form_;
    WindowRecord record_;
    ConfigProtocol protocol_;
    int deviceIndex_;
    int connectModeIndex_;
    QMenu* windowMenu_;
    QIcon icon_;
    std::function<int()> readerSearch_;
};
