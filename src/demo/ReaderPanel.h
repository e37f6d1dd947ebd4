#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "demo/KeyTyper.h"
#include "protocol/ConfigBlock.h"

class MainWindow;
class PtyReaderLink;
class SimulatedHidPlatform;

// The "Simulated reader" window of the demo: reads cheques and cards into
// the utility, pulls and plugs the USB cable, makes the reader misbehave,
// and shows its configuration as commands change it. It never takes the
// keyboard focus from the utility's window.
//
// It is a window of the utility's window, not a window of its own: the
// utility's window runs modally, which blocks the input of every other
// window of the program but not that of its own windows. The utility's
// window owns it and closes it with itself.
class ReaderPanel : public QWidget {
  public:
    ReaderPanel(MainWindow& window, SimulatedHidPlatform& usbDevices, int usbReader,
                PtyReaderLink& serialReader);

    // Makes the panel for this window and shows it beside the window.
    static ReaderPanel& Open(MainWindow& window, SimulatedHidPlatform& usbDevices, int usbReader,
                             PtyReaderLink& serialReader);

    // The same cheque again, as a technician feeds it for a read test.
    void ReadCheque();
    void ReadOtherCheque();
    void ReadMisreadCheque();
    void SwipeCard();
    void ToggleCable();
    void SetSilent(bool on);
    void SetRefuse(bool on);
    bool Typing() const { return typer_.Busy(); }
    // Puts the panel beside the utility's window, where the screen has room.
    void PlaceBeside(const QWidget& window);

  private:
    bool OnSerial() const;
    ConfigBlock Config();
    void Deliver(const std::vector<uint8_t>& bytes);
    void Refresh();

    MainWindow& window_;
    SimulatedHidPlatform& usbDevices_;
    int usbReader_;
    PtyReaderLink& serialReader_;
    KeyTyper typer_;
    QLabel* channel_;
    QLabel* config_;
    QPushButton* cable_;
    QTimer refresh_;
    bool plugged_ = true;
    size_t cheque_ = 0;
};
