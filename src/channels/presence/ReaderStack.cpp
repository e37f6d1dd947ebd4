#include "channels/presence/ReaderStack.h"

#include "protocol/NameTables.h"

ReaderStack::ReaderStack(std::unique_ptr<HidPlatform> hidPlatform,
                         std::unique_ptr<DeviceWatch> watch,
                         std::unique_ptr<SerialDevice> serialDevice)
    : serialPort_(std::move(serialDevice)),
      platform_(std::move(hidPlatform)),
      hid_(platform_.get(), waitTimer_, waitPump_),
      watch_(std::move(watch)),
      usbTimer_(MakeQtPollTimer()),
      serialTimer_(MakeQtPollTimer()),
      serial_(serialRelay_, slot_, serialPort_, *serialTimer_,
              [this] { return connection_.Mode(); }),
      usb_(usbRelay_, slot_, hid_, *usbTimer_, [this] { return connection_.Mode(); }),
      connection_(kDeviceModels[kCurrentDeviceIndex], hid_, serialPort_, *watch_, usb_, serial_,
                  connectionRelay_) {}

ReaderStack::~ReaderStack() = default;

void ReaderStack::Attach(ExchangeListener& usb, ExchangeListener& serial,
                         ReaderConnection::Listener& connection) {
    usbRelay_.to = &usb;
    serialRelay_.to = &serial;
    connectionRelay_.to = &connection;
}

void ReaderStack::Detach() {
    usbRelay_.to = nullptr;
    serialRelay_.to = nullptr;
    connectionRelay_.to = nullptr;
}

#define TALLISK_RELAY(call) \
    if (to != nullptr) {    \
        to->call;           \
    }

void ReaderStack::ExchangeRelay::Polled() {
    TALLISK_RELAY(Polled())
}
void ReaderStack::ExchangeRelay::BurstBegan() {
    TALLISK_RELAY(BurstBegan())
}
void ReaderStack::ExchangeRelay::ReadGrew(const std::string& text) {
    TALLISK_RELAY(ReadGrew(text))
}
void ReaderStack::ExchangeRelay::ReadCompleted(const std::string& text) {
    TALLISK_RELAY(ReadCompleted(text))
}
void ReaderStack::ExchangeRelay::ReplyCompleted(ReplyUse use, ExchangeResult result,
                                                std::span<const uint8_t> reply, int32_t length) {
    TALLISK_RELAY(ReplyCompleted(use, result, reply, length))
}
void ReaderStack::ExchangeRelay::ByteReceived() {
    TALLISK_RELAY(ByteReceived())
}
void ReaderStack::ExchangeRelay::TransferBegan() {
    TALLISK_RELAY(TransferBegan())
}
void ReaderStack::ExchangeRelay::TransferEnded() {
    TALLISK_RELAY(TransferEnded())
}

void ReaderStack::ConnectionRelay::StateChanged(ReaderConnection::State state) {
    TALLISK_RELAY(StateChanged(state))
}
void ReaderStack::ConnectionRelay::StatusChanged(const std::string& text) {
    TALLISK_RELAY(StatusChanged(text))
}
void ReaderStack::ConnectionRelay::Settled() {
    TALLISK_RELAY(Settled())
}
void ReaderStack::ConnectionRelay::WatchUnavailable() {
    TALLISK_RELAY(WatchUnavailable())
}
void ReaderStack::ConnectionRelay::Closed() {
    TALLISK_RELAY(Closed())
}
void ReaderStack::ConnectionRelay::FailureExplained(const std::string& line) {
    if (to != nullptr) {
        to->FailureExplained(line);
    } else {
        Listener::FailureExplained(line);
    }
}

#undef TALLISK_RELAY
