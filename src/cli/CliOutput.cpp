#include "cli/CliOutput.h"

#include <cstdarg>
#include <cstdio>

#include <QJsonDocument>

#include "cli/JsonReport.h"

namespace {
std::string* gCapture = nullptr;
bool gJson = false;
}  // namespace

int Fail(int status, const std::string& text, const std::string& fix) {
    std::fprintf(stderr, "tallisk-cli: %s\n", text.c_str());
    if (!fix.empty()) {
        std::fprintf(stderr, "  (%s)\n", fix.c_str());
    }
    if (gJson) {
        JsonReport::Current().Fail(text, fix);
    }
    return status;
}

void SetJsonOutput(bool json) {
    gJson = json;
}

bool JsonOutput() {
    return gJson;
}

QJsonValue JsonString(const std::string& text) {
    return QString::fromStdString(text);
}

void EmitJson(const QJsonObject& data) {
    JsonReport::Current().Add(data);
}

void EmitJsonLine(const QJsonObject& document) {
    Emit("%s\n", QJsonDocument(document).toJson(QJsonDocument::Compact).constData());
}

void Emit(const char* format, ...) {
    va_list args;
    va_start(args, format);
    if (gCapture == nullptr) {
        std::vfprintf(stdout, format, args);
    } else {
        va_list again;
        va_copy(again, args);
        const int length = std::vsnprintf(nullptr, 0, format, args);
        if (length > 0) {
            const size_t at = gCapture->size();
            gCapture->resize(at + static_cast<size_t>(length) + 1);
            std::vsnprintf(gCapture->data() + at, static_cast<size_t>(length) + 1, format, again);
            gCapture->resize(at + static_cast<size_t>(length));
        }
        va_end(again);
    }
    va_end(args);
}

void CaptureOutput(std::string* capture) {
    gCapture = capture;
}
