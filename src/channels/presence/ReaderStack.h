#pragma once

#include <memory>

#include "channels/common/ExchangeListener.h"
#include "channels/common/FrameSlot.h"
#include "channels/common/PollTimer.h"
#include "channels/presence/DeviceWatch.h"
#include "channels/presence/ReaderConnection.h"
#include "channels/serial/SerialExchange.h"
#include "channels/serial/SerialPort.h"
#include "channels/usb/HidChannel.h"
#include "channels/usb/QtWaitPump.h"
#include "channels/usb/TimerObject.h"
#include "channels/usb/UsbExchange.h"
#include "platform/hid/HidPlatform.h"
#include "protocol/FrameOrder.h"

// Everything that reaches the reader, built in one place: the serial port,
// the HID channel with its wait timer and pump, the watch over device
// arrivals, both exchanges with their poll timers and the frame they share,
// and the connection that opens and closes them. The window, the command
// line, the demo, the tests and the benchmarks each make one, with the HID
// devices and serial line they work with (the system's or simulated ones).
//
// Whoever uses it attaches the listeners that hear what the exchanges and
// the connection do; until then, and after detaching, nobody hears it (the
// connection's failures then go to standard error).
class ReaderStack {
  public:
    ReaderStack(std::unique_ptr<HidPlatform> hidPlatform, std::unique_ptr<DeviceWatch> watch,
                std::unique_ptr<SerialDevice> serialDevice = nullptr);
    ReaderStack(const ReaderStack&) = delete;
    ReaderStack& operator=(const ReaderStack&) = delete;
    ~ReaderStack();

    void Attach(ExchangeListener& usb, ExchangeListener& serial,
                ReaderConnection::Listener& connection);
    void Detach();

    // Keeps, drops or replaces the frame the next poll sends; see FrameOrder.
    void Order(const FrameOrder& order) { slot_.Apply(order); }
    bool FramePending() const { return slot_.Pending(); }

    SerialPort& Port() { return serialPort_; }
    HidPlatform* Platform() { return platform_.get(); }
    HidChannel& Hid() { return hid_; }
    DeviceWatch& Watch() { return *watch_; }
    UsbExchange& Usb() { return usb_; }
    const UsbExchange& Usb() const { return usb_; }
    SerialExchange& Serial() { return serial_; }
    const SerialExchange& Serial() const { return serial_; }
    ReaderConnection& Connection() { return connection_; }
    const ReaderConnection& Connection() const { return connection_; }

  private:
    // Passes each event on to the listener attached, if any.
    class ExchangeRelay : public ExchangeListener {
      public:
        ExchangeListener* to = nullptr;
        void Polled() override;
        void BurstBegan() override;
        void ReadGrew(const std::string& text) override;
        void ReadCompleted(const std::string& text) override;
        void ReplyCompleted(ReplyUse use, ExchangeResult result, std::span<const uint8_t> reply,
                            int32_t length) override;
        void ByteReceived() override;
        void TransferBegan() override;
        void TransferEnded() override;
    };
    class ConnectionRelay : public ReaderConnection::Listener {
      public:
        ReaderConnection::Listener* to = nullptr;
        void StateChanged(ReaderConnection::State state) override;
        void StatusChanged(const std::string& text) override;
        void Settled() override;
        void WatchUnavailable() override;
        void Closed() override;
        void FailureExplained(const std::string& line) override;
    };

    SerialPort serialPort_;
    std::unique_ptr<HidPlatform> platform_;
    TimerObject waitTimer_;
    QtWaitPump waitPump_;
    HidChannel hid_;
    std::unique_ptr<DeviceWatch> watch_;
    FrameSlot slot_;
    std::unique_ptr<PollTimer> usbTimer_;     // timer 1
    std::unique_ptr<PollTimer> serialTimer_;  // timer 4
    ExchangeRelay usbRelay_;
    ExchangeRelay serialRelay_;
    ConnectionRelay connectionRelay_;
    SerialExchange serial_;
    UsbExchange usb_;
    ReaderConnection connection_;
};
