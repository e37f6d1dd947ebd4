#include "cli/ReaderTarget.h"

#include <cstdlib>

#include "channels/presence/DeviceWatch.h"
#include "cli/CliExit.h"
#include "cli/CliOutput.h"
#include "cli/HidSelection.h"
#include "cli/SerialLineName.h"
#include "platform/advice/FailureAdvice.h"

int ReaderTarget::Open() {
    if (line_.Has("serial")) {
        path_ = SerialLinePath(line_.Value("serial"));
        ::setenv("TALLISK_COM1", path_.c_str(), 1);
        session_ = std::make_unique<ReaderSession>(nullptr, MakeUdevDeviceWatch());
        // Why from the open itself: opening the line again to ask would
        // pass over the line's exclusive flag as root, and say nothing.
        if (!session_->Open(kSerialMode)) {
            return Fail(kCliNoReader,
                        path_ + ": the serial line could not be opened (" + session_->Status() +
                            "): " + SerialOpenReason(path_, session_->SerialOpenError()));
        }
        return 0;
    }
    std::unique_ptr<HidPlatform> platform = MakeLinuxHidPlatform();
    if (!platform) {
        return Fail(kCliNoReader, "the HID library could not be started");
    }
    if (!device_.empty()) {
        path_ = device_;
    } else if (line_.Has("device")) {
        path_ = line_.Value("device");
    } else {
        const std::vector<HidDeviceInfo> readers = ListReaders(*platform);
        if (readers.empty()) {
            return Fail(kCliNoReader, NoUsbReaderText());
        }
        if (readers.size() > 1) {
            std::string text = "more than one reader: choose one with --device";
            for (const HidDeviceInfo& r : readers) {
                text += "\n  " + r.path;
            }
            return Fail(kCliNoReader, text);
        }
        path_ = readers[0].path;
    }
    session_ = std::make_unique<ReaderSession>(OnlyThePath(std::move(platform), path_),
                                               MakeUdevDeviceWatch());
    if (!session_->Open(kUsbHidMode)) {
        if (session_->Hid().FoundInUse()) {
            return Fail(kCliNoReader, UsbInUseLine(path_));
        }
        std::string why = session_->Status();
        if (session_->Hid().FoundWithoutAccess()) {
            why += "; this user may not open " + UsbNoAccessLine(path_);
        }
        return Fail(kCliNoReader, path_ + ": " + why);
    }
    return 0;
}

// The exit status of a command's outcome; says why on standard error.
int StatusOf(const ReaderSession::Outcome& outcome, const std::string& success,
             const std::string& path) {
    if (!outcome.built) {
        return Fail(kCliUsage, path + ": nothing was sent (" + outcome.status +
                                   "): give every setting the command carries");
    }
    if (outcome.interrupted != 0) {
        return Fail(EndSignals::ExitStatusOf(outcome.interrupted),
                    path + ": interrupted by " + EndSignals::NameOf(outcome.interrupted) +
                        (outcome.sent ? ": the command was sent, its answer not seen"
                                      : ": nothing was sent"));
    }
    if (!outcome.sent) {
        return Fail(kCliNoAnswer, path +
                                      ": nothing was sent: the line was never quiet long "
                                      "enough for the command to go out");
    }
    // What each channel failure means for a script: the reader went or
    // never answered, or it cannot be worked with at all.
    struct ResultStatus {
        ExchangeResult result;
        int status;
    };
    static constexpr ResultStatus kResultStatus[] = {
        {kExchangeNoReportType, kCliNoReader},   {kExchangeBadReportLength, kCliNoReader},
        {kExchangeNotConnected, kCliNoReader},   {kExchangeSendFailed, kCliNoAnswer},
        {kExchangeConnectionLost, kCliNoAnswer}, {kExchangeNoReply, kCliNoAnswer},
        {kExchangeSerialNotOpen, kCliNoReader},
    };
    if (!outcome.answered) {
        return Fail(kCliNoAnswer, path + ": no answer (" + outcome.status + ")");
    }
    for (const ResultStatus& entry : kResultStatus) {
        if (outcome.result == entry.result) {
            return Fail(entry.status, path + ": " + outcome.status);
        }
    }
    if (outcome.status != success) {
        return Fail(kCliRefused, path + ": " + outcome.status);
    }
    return kCliOk;
}

// Reads the configuration; 0 and the block, or the exit status.
