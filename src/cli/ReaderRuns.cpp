#include "cli/ReaderRuns.h"

#include <QByteArray>
#include <QJsonDocument>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/CliExit.h"
#include "cli/CliOutput.h"
#include "cli/HidSelection.h"
#include "cli/JsonReport.h"
#include "cli/SerialLineName.h"

namespace {

int OnEveryReader(const CliInvocation& invocation, const std::function<int(ReaderTarget&)>& work) {
    std::unique_ptr<HidPlatform> platform = MakeLinuxHidPlatform();
    const std::vector<HidDeviceInfo> readers =
        platform ? ListReaders(*platform) : std::vector<HidDeviceInfo>{};
    platform.reset();
    if (readers.empty()) {
        return Fail(kCliNoReader, NoUsbReaderText());
    }
    const bool json = invocation.Has("json");
    int worst = kCliOk;
    QJsonArray entries;
    for (const HidDeviceInfo& reader : readers) {
        std::string output;
        CaptureOutput(&output);
        ReaderTarget target(invocation.line, reader.path);
        int status = target.Open();
        if (status == kCliOk) {
            status = work(target);
        }
        CaptureOutput(nullptr);
        worst = std::max(worst, status);
        while (!output.empty() && output.back() == '\n') {
            output.pop_back();
        }
        if (json) {
            // Each reader's whole document, failures too.
            const QJsonDocument document = QJsonDocument::fromJson(
                QByteArray::fromStdString(JsonReport::Current().Finish(status)));
            entries.append(QJsonObject{
                {"device", JsonString(reader.path)},
                {"exit", status},
                {"output", document.isObject() ? QJsonValue(document.object()) : QJsonValue()}});
        } else {
            Emit("== %s (exit %d)\n%s%s", reader.path.c_str(), status, output.c_str(),
                 output.empty() ? "" : "\n");
        }
    }
    if (json) {
        JsonReport::Current().SetReaders(entries);
    }
    return worst;
}

}  // namespace

int OnReaders(const CliInvocation& invocation, const std::function<int(ReaderTarget&)>& work) {
    if (invocation.Has("all")) {
        return OnEveryReader(invocation, work);
    }
    ReaderTarget target(invocation.line);
    if (const int status = target.Open(); status != kCliOk) {
        return status;
    }
    return work(target);
}
