#pragma once

#include <QObject>
#include <string>

#include "channels/presence/DeviceWatch.h"
#include "channels/serial/SerialPort.h"
#include "protocol/ConnectionTexts.h"
#include "protocol/NameTables.h"

class HidChannel;
class SerialExchange;
class UsbExchange;

// The connection to the reader in either connect mode: opening and closing
// it, following the USB reader's arrival and removal, and saying where it
// stands. Runs on the thread that owns the channels.
class ReaderConnection {
  public:
    enum class State {
        Opening,          // no command can go out until the outcome is known
        NotFound,         // USB: the search did not find the reader
        Connected,        // USB: the reader is there (perhaps without access)
        Removed,          // USB: the reader went away
        SerialOpened,     // the serial line is open
        SerialNotOpened,  // the serial line could not be opened
    };

    // Told, in order, what the connection does.
    class Listener {
      public:
        virtual ~Listener() = default;
        virtual void StateChanged(State state) = 0;
        // The status text is now text; it is shown when the connection settles.
        virtual void StatusChanged(const std::string& text) = 0;
        // What the connection said since it last settled is to be shown.
        virtual void Settled() = 0;
        // Arrivals and removals cannot be followed on this connection.
        virtual void WatchUnavailable() = 0;
        // The connection was closed: reads gathered on it are void.
        virtual void Closed() = 0;
        // A failure explained in one line (the device, the system's word,
        // the likely fix), beside the status text, which stays as it is.
        // Said on standard error unless the listener says it otherwise.
        virtual void FailureExplained(const std::string& line);
    };

    ReaderConnection(const DeviceModel& model, HidChannel& hid, SerialPort& serialPort,
                     DeviceWatch& watch, UsbExchange& usb, SerialExchange& serial,
                     Listener& listener);
    ReaderConnection(const ReaderConnection&) = delete;
    ReaderConnection& operator=(const ReaderConnection&) = delete;
    ~ReaderConnection();

    ConnectMode Mode() const { return mode_; }
    // The mode the next opening uses; the connection open now stays open.
    void SetMode(ConnectMode mode) { mode_ = mode; }
    void Open();
    void Close(ConnectMode mode);

    // Each opening, arrival and removal counts one; something begun on an
    // earlier count must not undo what a later one set.
    int Generation() const { return generation_; }

    // The search at opening; a FindResult.
    int ConnectUsb();
    void ShowDeviceFound();
    // One registration per connection.
    bool RegisterDeviceChange();
    void OnDeviceChange(DeviceWatch::Change change);

  private:
    void OpenUsb();
    void OpenSerial();
    FindResult FindReader();
    void SetStatus(const std::string& text);
    void QueueArrivalSearch();
    void SearchArrivedReader(int attemptsLeft);
    void ShowArrivedReader();
    // Explains a reader found that this user may not open or that another
    // program holds.
    void ExplainWithoutAccess();

    const DeviceModel& model_;
    HidChannel& hid_;
    SerialPort& serialPort_;
    DeviceWatch& watch_;
    UsbExchange& usb_;
    SerialExchange& serial_;
    Listener& listener_;
    ConnectMode mode_ = kUsbHidMode;
    int generation_ = 0;
    bool arrivalSearchQueued_ = false;
    // Queued work dies with the connection.
    QObject context_;
};
