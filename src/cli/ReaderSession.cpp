#include "cli/ReaderSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

#include "protocol/CommandSet.h"
#include "protocol/ControlIds.h"
#include "protocol/NameTables.h"

namespace {

// Longer than the USB channel's own waits (its reply wait is about 19 s):
// a command that outlives it has no answer.
constexpr int kUsbCommandLimitMs = 30000;
// The serial line's limits: the line takes a frame at the first poll after
// 100 ms of quiet, and a reply that has not begun 3 s after its frame was
// written never comes. A reader that sends without a pause never lets the
// frame go, and keeps the exchange from ending its own wait: the session
// ends both waits itself, a little after the line's limit.
constexpr int kSerialLimitMs =
    static_cast<int>(std::chrono::milliseconds(SerialExchange::kNoAnswerLimit).count()) + 500;

// Sleeps between events: the loop wakes for each event, or at the latest
// for the next tick, when it looks at the time left.
bool RunUntil(const std::function<bool()>& done, int limitMs) {
    constexpr int kTickMs = 50;
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    tick.start(kTickMs);
    while (!done() && clock.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

}  // namespace

ReaderSession::ReaderSession(std::unique_ptr<HidPlatform> platform,
                             std::unique_ptr<DeviceWatch> watch)
    : protocol_(form_, record_, exchange_),
      platform_(std::move(platform)),
      watch_(std::move(watch)),
      hid_(platform_.get(), waitTimer_, waitPump_),
      usbTimer_(MakeQtPollTimer()),
      serialTimer_(MakeQtPollTimer()),
      serial_(*this, exchange_, serialPort_, *serialTimer_, [this] { return connection_.Mode(); }),
      usb_(*this, exchange_, hid_, *usbTimer_, [this] { return connection_.Mode(); }),
      connection_(kDeviceModels[kCurrentDeviceIndex], hid_, serialPort_, *watch_, usb_, serial_,
                  *this) {
    // Failures of the line go to standard error; nobody has to dismiss them.
    serialPort_.SetFailureReporter([this](const std::string& text, std::function<void()> closed) {
        std::fprintf(stderr, "tallisk-cli: %s\n", text.c_str());
        if (closed) {
            // A failure of the open line, not of its opening.
            lineLost_ = true;
            closed();
        }
    });
}

ReaderSession::~ReaderSession() {
    connection_.Close(connection_.Mode());
}

bool ReaderSession::Open(ConnectMode mode) {
    connection_.SetMode(mode);
    connection_.Open();
    if (mode == kUsbHidMode) {
        return state_ == ReaderConnection::State::Connected && !hid_.FoundWithoutAccess();
    }
    return state_ == ReaderConnection::State::SerialOpened;
}

bool ReaderSession::Gone() const {
    return state_ == ReaderConnection::State::Removed;
}

ReaderSession::Outcome ReaderSession::RunPendingFrame() {
    replied_ = false;
    last_ = {};
    CommandFrame& frame = exchange_.commandFrame;
    if (frame.length == 0) {
        // Nothing was built (a setting the frame needs is unset).
        last_.status = record_.statusText;
        return last_;
    }
    last_.built = true;
    last_.frame.assign(frame.bytes.begin(), frame.bytes.begin() + frame.length);
    const bool serial = connection_.Mode() == kSerialMode;
    const int limitMs = serial ? kSerialLimitMs : kUsbCommandLimitMs;
    const auto over = [this] { return replied_ || Gone() || lineLost_ || Interrupted() != 0; };
    // A USB exchange runs within the poll that takes the frame.
    RunUntil([&] { return over() || FrameTaken(); }, limitMs);
    last_.sent = FrameTaken() || replied_;
    if (!last_.sent) {
        // Dropped, so that it does not go out after the command has ended.
        frame.length = 0;
    } else if (!replied_) {
        RunUntil(over, limitMs);
    }
    last_.answered = replied_;
    last_.interrupted = replied_ ? 0 : Interrupted();
    if (!replied_) {
        last_.result = Gone() ? kExchangeConnectionLost : kExchangeNoReply;
    }
    last_.status = record_.statusText;
    return last_;
}

ReaderSession::Outcome ReaderSession::ReadConfiguration() {
    // As the window does when Device_Type_Setup is chosen.
    protocol_.Save();
    exchange_.commandType = kDeviceTypeSetup;
    protocol_.PrepareCommandFrame();
    protocol_.Load();
    return RunPendingFrame();
}

ReaderSession::Outcome ReaderSession::WriteConfiguration(const Configuration& configuration) {
    // The block that the read left in the frame keeps its bytes 14 and 15;
    // the settings and code lists go on the form, and Send Cmd builds from it.
    record_.settings = configuration.settings;
    protocol_.Load();
    for (size_t i = 0; i < kCodeBindings.size(); ++i) {
        form_.SelectIndex(kCodeBindings[i].listId, CodeIndexFromValue(configuration.codes[i]));
    }
    exchange_.commandType = kDeviceTypeSetup;
    protocol_.BuildCommandFrame();
    return RunPendingFrame();
}

ReaderSession::Outcome ReaderSession::SendCommand(int32_t commandType,
                                                  const DeviceSettings& settings) {
    protocol_.Save();
    exchange_.commandType = commandType;
    protocol_.PrepareCommandFrame();
    record_.settings = settings;
    protocol_.Load();
    protocol_.BuildCommandFrame();
    return RunPendingFrame();
}

bool ReaderSession::Watch(const std::function<bool()>& stop) {
    RunUntil([&] { return stop() || Gone() || lineLost_ || Interrupted() != 0; },
             std::numeric_limits<int>::max());
    return stop();
}

void ReaderSession::KeyCharacter(const std::string& character) {
    // As the window: not while an exchange runs its own wait, and only in
    // USB mode.
    if (!usb_.Running() && connection_.Mode() == kUsbHidMode) {
        usb_.OnKeyCharacter(character);
    }
}

void ReaderSession::ReadCompleted(const std::string& text) {
    if (onRead) {
        onRead(text);
    }
}

void ReaderSession::ReplyCompleted(ReplyUse use, ExchangeResult result,
                                   std::span<const uint8_t> reply, int32_t length) {
    if (use == ReplyUse::Configuration) {
        protocol_.DecodeConfigReply(result, reply, length);
    } else {
        protocol_.ReportExchangeResult(result, reply, length);
    }
    last_.result = result;
    const auto kept = static_cast<size_t>(std::clamp<int32_t>(length, 0, reply.size()));
    last_.reply.assign(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(kept));
    replied_ = true;
}

void ReaderSession::WatchUnavailable() {
    std::fputs(
        "tallisk-cli: arrivals and removals of USB devices cannot be followed "
        "(udev monitor unavailable)\n",
        stderr);
}
