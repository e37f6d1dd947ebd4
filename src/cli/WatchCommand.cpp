#include "cli/WatchCommand.h"

#include <QJsonDocument>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "cli/CliExit.h"
#include "cli/CliOutput.h"
#include "cli/CommandRuns.h"
#include "cli/KeyboardReads.h"
#include "cli/ReaderRuns.h"
#include "protocol/EscapedText.h"

namespace {

// SIGPIPE ignored while the watch runs: a reader of the output that goes
// away ends the watch through a failed write, which says so and closes the
// connection as any end does, instead of a silent death that would leave
// the line's exclusive flag set.
class PipeSignalIgnored {
  public:
    PipeSignalIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGPIPE, &ignore, &previous_);
    }
    PipeSignalIgnored(const PipeSignalIgnored&) = delete;
    PipeSignalIgnored& operator=(const PipeSignalIgnored&) = delete;
    ~PipeSignalIgnored() { ::sigaction(SIGPIPE, &previous_, nullptr); }

  private:
    struct sigaction previous_ {};
};

// The line and its newline on standard output at once, so that a pipe sees
// each read as it arrives; 0, or the errno of a failed write.
int PrintLine(const std::string& line) {
    const std::string text = line + "\n";
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        return errno != 0 ? errno : EIO;
    }
    return 0;
}

const char* VerdictName(ReadComparison::Verdict verdict) {
    switch (verdict) {
        case ReadComparison::Verdict::Same:
            return "same";
        case ReadComparison::Verdict::Different:
            return "different";
        case ReadComparison::Verdict::Reference:
            break;
    }
    return "reference";
}

// Opens the reader's keyboard interfaces; 0, or the exit status and why.
int OpenKeyboards(const std::string& hidrawPath, ReaderSession& session,
                  std::vector<std::unique_ptr<KeyboardReads>>& keyboards) {
    const std::vector<std::string> nodes = KeyboardNodesOf(hidrawPath);
    std::string why;
    for (const std::string& node : nodes) {
        auto keyboard = std::make_unique<KeyboardReads>(
            [&session](const std::string& character) { session.KeyCharacter(character); });
        switch (keyboard->Open(node)) {
            case KeyboardReads::Opened::Ok:
                keyboards.push_back(std::move(keyboard));
                break;
            case KeyboardReads::Opened::NoAccess:
                why = "this user may not open " + node +
                      ": install the udev rule 70-tallisk.rules (it gives the user at the seat "
                      "the reader's /dev/input/event* nodes) and plug the reader in again";
                break;
            case KeyboardReads::Opened::NotGrabbed:
                why = node + " is held by another program";
                break;
            case KeyboardReads::Opened::NotKeys:
                break;
        }
    }
    if (!keyboards.empty()) {
        return kCliOk;
    }
    if (why.empty()) {
        why =
            "no keyboard interface of the reader among /dev/input/event*: the reader types "
            "its reads there (if it is there, this user may not see it: install the udev "
            "rule 70-tallisk.rules and plug the reader in again)";
    }
    return Fail(kCliNoReader, hidrawPath + ": " + why);
}

}  // namespace

bool ParseWatchCount(const std::string& value, int& count) {
    if (value.empty() || value.size() > 9 ||
        value.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    count = std::stoi(value);
    return count > 0;
}

std::string WatchLine(const std::string& text, int index, const WatchOptions& options,
                      ReadComparison::Verdict verdict, const ReadComparison& comparison) {
    const std::string counts =
        std::to_string(comparison.Successes()) + "/" + std::to_string(comparison.Total());
    if (!options.json) {
        // Escaped as JSON escapes: a NUL or a control of the read shows,
        // and none reaches the terminal.
        const std::string shown = EscapedText(text);
        if (!options.compare) {
            return shown;
        }
        const bool reference = verdict == ReadComparison::Verdict::Reference;
        return shown + "\t" + VerdictName(verdict) + (reference ? "" : "\t" + counts);
    }
    QJsonObject line{{"index", index}, {"text", JsonString(text)}};
    if (options.compare) {
        const bool reference = verdict == ReadComparison::Verdict::Reference;
        line.insert("reference", reference);
        line.insert("same", reference ? QJsonValue()
                                      : QJsonValue(verdict == ReadComparison::Verdict::Same));
        line.insert("successes", comparison.Successes());
        line.insert("total", comparison.Total());
    }
    return QJsonDocument(line).toJson(QJsonDocument::Compact).toStdString();
}

int RunWatch(ReaderTarget& target, const WatchOptions& options, bool usb) {
    ReaderSession& session = target.Session();
    std::vector<std::unique_ptr<KeyboardReads>> keyboards;
    if (usb) {
        if (const int status = OpenKeyboards(target.Path(), session, keyboards); status != kCliOk) {
            return status;
        }
    }
    ReadComparison comparison;
    int reads = 0;
    int outputError = 0;  // the errno of the write that failed
    session.onRead = [&](const std::string& text) {
        if ((options.count > 0 && reads >= options.count) || outputError != 0) {
            return;
        }
        ++reads;
        const ReadComparison::Verdict verdict = comparison.Add(text, options.compare);
        outputError = PrintLine(WatchLine(text, reads, options, verdict, comparison));
    };
    const PipeSignalIgnored pipeSignal;
    // On standard error, so that what a script reads is the reads alone;
    // whoever runs the program learns from it that reads are now taken.
    std::fprintf(stderr, "tallisk-cli: watching %s for reads; Ctrl+C ends\n",
                 target.Path().c_str());
    const auto keyboardGone = [&] {
        for (const auto& keyboard : keyboards) {
            if (keyboard->Gone()) {
                return true;
            }
        }
        return false;
    };
    const bool stopped = session.Watch([&] {
        // Ctrl+C is how a watch ends: the session has caught the signal.
        return ReaderSession::Interrupted() != 0 || (options.count > 0 && reads >= options.count) ||
               keyboardGone() || outputError != 0;
    });
    session.onRead = nullptr;
    if (outputError != 0) {
        return Fail(kCliNoAnswer, "standard output cannot be written (" +
                                      std::string(std::strerror(outputError)) + "); read " +
                                      std::to_string(reads) + " was not shown and the watch ends");
    }
    if (!stopped || keyboardGone()) {
        return Fail(kCliNoAnswer, target.Path() + ": the reader went away");
    }
    return kCliOk;
}

int RunWatchCommand(const CliInvocation& invocation) {
    WatchOptions options{invocation.Has("compare"), invocation.Has("json"), 0};
    if (invocation.Has("count") && !ParseWatchCount(invocation.Value("count"), options.count)) {
        return Fail(kCliUsage, "--count needs a number of reads from 1 on");
    }
    if (invocation.Has("all")) {
        return Fail(kCliUsage, "watch follows one reader; choose it with --device");
    }
    const bool usb = !invocation.Has("serial");
    return OnReaders(invocation,
                     [&](ReaderTarget& target) { return RunWatch(target, options, usb); });
}
