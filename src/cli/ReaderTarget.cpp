#include "cli/ReaderTarget.h"

#include <cstdlib>

#include "channels/presence/DeviceWatch.h"
#include "cli/CliExit.h"
#include "cli/CliOutput.h"
#include "cli/HidSelection.h"
#include "cli/JsonReport.h"
#include "cli/SerialLineName.h"
#include "platform/advice/FailureAdvice.h"
#include "protocol/HexText.h"

int ReaderTarget::Open() {
    if (line_.Has("serial")) {
        path_ = SerialLinePath(line_.Value("serial"));
        JsonReport::Current().SetDevice(path_);
        ::setenv("TALLISK_COM1", path_.c_str(), 1);
        session_ = std::make_unique<ReaderSession>(nullptr, MakeUdevDeviceWatch());
        // Why from the open itself: opening the line again to ask would
        // pass over the line's exclusive flag as root, and say nothing.
        if (!session_->Open(kSerialMode)) {
            return Fail(kCliNoReader, path_ + ": the serial line could not be opened: " +
                                          SerialOpenReason(path_, session_->SerialOpenError()));
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
    JsonReport::Current().SetDevice(path_);
    session_ = std::make_unique<ReaderSession>(OnlyThePath(std::move(platform), path_),
                                               MakeUdevDeviceWatch());
    if (!session_->Open(kUsbHidMode)) {
        if (session_->Hid().FoundInUse()) {
            return Fail(kCliNoReader, UsbInUseLine(path_));
        }
        if (session_->Hid().FoundWithoutAccess()) {
            return Fail(kCliNoReader, path_ + ": this user may not open " + UsbNoAccessLine(path_));
        }
        if (!session_->Hid().ReaderListed()) {
            return Fail(kCliNoReader, path_ +
                                          ": no reader there (tallisk-cli list shows the readers "
                                          "present and their nodes)");
        }
        return Fail(kCliNoReader, path_ + ": the reader could not be opened");
    }
    return 0;
}

// The exit status of a command's outcome; says why on standard error.
int StatusOf(const ReaderSession::Outcome& outcome, const std::string& success,
             const std::string& path) {
    if (!outcome.built) {
        return Fail(kCliUsage, path +
                                   ": nothing was sent: a setting the command carries has no "
                                   "value, or the block has no read to go back to");
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
        const char* what;
    };
    static constexpr ResultStatus kResultStatus[] = {
        {kExchangeNoReportType, kCliNoReader, "the reader's reports cannot be used"},
        {kExchangeBadReportLength, kCliNoReader,
         "the reader's reports are longer than the program can hold"},
        {kExchangeNotConnected, kCliNoReader, "the reader is not connected"},
        {kExchangeSendFailed, kCliNoAnswer, "the command could not be sent to the reader"},
        {kExchangeConnectionLost, kCliNoAnswer, "the reader went away before it answered"},
        {kExchangeNoReply, kCliNoAnswer, "no answer"},
        {kExchangeSerialNotOpen, kCliNoReader, "the serial line is not open"},
    };
    if (!outcome.answered) {
        return Fail(kCliNoAnswer, path + ": no answer");
    }
    for (const ResultStatus& entry : kResultStatus) {
        if (outcome.result == entry.result) {
            return Fail(entry.status, path + ": " + entry.what);
        }
    }
    if (outcome.status != success) {
        return Fail(kCliRefused,
                    path + ": the reader refused the command (it answered " +
                        (outcome.reply.empty() ? std::string("nothing") : HexBytes(outcome.reply)) +
                        ")");
    }
    return kCliOk;
}

// Reads the configuration; 0 and the block, or the exit status.
