#include "cli/ReaderSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

#include "protocol/CommandFrames.h"
#include "protocol/CommandSet.h"
#include "protocol/ConfigReply.h"
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
    : stack_(std::move(platform), std::move(watch)) {
    stack_.Attach(*this, *this, *this);
    // Failures of the line go to standard error; nobody has to dismiss them.
    stack_.Port().SetFailureReporter([this](const std::string& text, std::function<void()> closed) {
        // The window's box says "WARNING:  <call> Failed with the following
        // error: \n<error>\nPort: <n>\n"; the command line says what it means.
        const size_t from = text.find('\n');
        const size_t to = from == std::string::npos ? from : text.find('\n', from + 1);
        const std::string error =
            from == std::string::npos ? text : text.substr(from + 1, to - from - 1);
        std::fprintf(stderr, "tallisk-cli: %s (%s)\n",
                     closed ? "the serial line failed while it was open; was the reader unplugged?"
                            : "the serial line could not be set up",
                     error.c_str());
        if (closed) {
            // A failure of the open line, not of its opening.
            lineLost_ = true;
            closed();
        }
    });
}

ReaderSession::~ReaderSession() {
    ReaderConnection& connection = stack_.Connection();
    connection.Close(connection.Mode());
    stack_.Detach();
}

bool ReaderSession::Open(ConnectMode mode) {
    stack_.Connection().SetMode(mode);
    stack_.Connection().Open();
    if (mode == kUsbHidMode) {
        return state_ == ReaderConnection::State::Connected && !stack_.Hid().FoundWithoutAccess();
    }
    return state_ == ReaderConnection::State::SerialOpened;
}

bool ReaderSession::Gone() const {
    return state_ == ReaderConnection::State::Removed;
}

ReaderSession::Outcome ReaderSession::RunPendingFrame() {
    const bool serial = stack_.Connection().Mode() == kSerialMode;
    const int limitMs = serial ? kSerialLimitMs : kUsbCommandLimitMs;
    const auto over = [this] { return replied_ || Gone() || lineLost_ || Interrupted() != 0; };
    // A USB exchange runs within the poll that takes the frame.
    RunUntil([&] { return over() || FrameTaken(); }, limitMs);
    last_.sent = FrameTaken() || replied_;
    if (!last_.sent) {
        // Dropped, so that it does not go out after the command has ended.
        stack_.Order({FrameOrder::Action::Drop, {}, ReplyUse::Status});
    } else if (!replied_) {
        RunUntil(over, limitMs);
    }
    last_.answered = replied_;
    last_.interrupted = replied_ ? 0 : Interrupted();
    if (!replied_) {
        last_.result = Gone() ? kExchangeConnectionLost : kExchangeNoReply;
    }
    last_.status = status_;
    return last_;
}

ReaderSession::Outcome ReaderSession::Run(int32_t commandType, const Configuration& configuration) {
    replied_ = false;
    last_ = {};
    commandType_ = commandType;
    BuiltFrame built = BuildCommandFrame(commandType, configuration);
    if (built.lack != BuiltFrame::Lack::None) {
        // Nothing was built: a setting the frame needs is unset, or the
        // block has no read to take bytes 14 and 15 from.
        status_ = built.lack == BuiltFrame::Lack::Setting ? status::kSettingsIncomplete
                                                          : status::kConfigReadFailed;
        last_.status = status_;
        return last_;
    }
    last_.built = true;
    last_.frame = built.bytes;
    stack_.Order({FrameOrder::Action::Send, std::move(built.bytes), ReplyUse::Status});
    return RunPendingFrame();
}

ReaderSession::Outcome ReaderSession::ReadConfiguration() {
    // As the window does when Device_Type_Setup is chosen.
    replied_ = false;
    last_ = {};
    commandType_ = kDeviceTypeSetup;
    status_ = kCommandSet[kDeviceTypeSetup].selectionText;
    last_.built = true;
    last_.frame.assign(kConfigReadRequest.begin(), kConfigReadRequest.end());
    stack_.Order({FrameOrder::Action::Send, last_.frame, ReplyUse::Configuration});
    return RunPendingFrame();
}

ReaderSession::Outcome ReaderSession::WriteConfiguration(const Configuration& configuration) {
    return Run(kDeviceTypeSetup, configuration);
}

ReaderSession::Outcome ReaderSession::SendCommand(int32_t commandType,
                                                  const DeviceSettings& settings) {
    // As the window does when the command is chosen and then sent.
    status_ = kCommandSet[static_cast<size_t>(commandType)].selectionText;
    Configuration configuration;
    configuration.settings = settings;
    return Run(commandType, configuration);
}

bool ReaderSession::Watch(const std::function<bool()>& stop) {
    RunUntil([&] { return stop() || Gone() || lineLost_ || Interrupted() != 0; },
             std::numeric_limits<int>::max());
    return stop();
}

void ReaderSession::KeyCharacter(const std::string& character) {
    // As the window: not while an exchange runs its own wait, and only in
    // USB mode.
    if (!stack_.Usb().Running() && stack_.Connection().Mode() == kUsbHidMode) {
        stack_.Usb().OnKeyCharacter(character);
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
        status_ = ConfigurationOfReply(result, reply, length) ? status::kConfigReadOk
                                                              : status::kConfigReadFailed;
    } else {
        status_ = ReplyStatusText(commandType_, result, reply);
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
