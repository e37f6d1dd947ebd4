#include "cli/CliOutput.h"

#include <cstdarg>
#include <cstdio>

namespace {
std::string* gCapture = nullptr;
}  // namespace

int Fail(int status, const std::string& text) {
    std::fprintf(stderr, "tallisk-cli: %s\n", text.c_str());
    return status;
}

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// The reader the command works on, opened.

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
