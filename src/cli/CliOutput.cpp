#include "cli/CliOutput.h"

#include <cstdio>

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
