#include "channels/serial/LineDefinition.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace {
constexpr size_t kTextBufferSize = 50;
}

std::string FormatLineDefinition(int baud, char parity, int dataBits, int stopBits) {
    char text[kTextBufferSize];
    std::snprintf(text, sizeof text, "baud=%d parity=%c data=%d stop=%d", baud, parity, dataBits,
                  stopBits);
    return text;
}

bool ParseLineDefinition(const std::string& text, LineSettings& settings) {
    LineSettings parsed = settings;
    bool haveBaud = false;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        const size_t equals = word.find('=');
        if (equals == std::string::npos || equals + 1 >= word.size()) {
            return false;
        }
        const std::string key = word.substr(0, equals);
        const std::string value = word.substr(equals + 1);
        char* end = nullptr;
        const long number = std::strtol(value.c_str(), &end, 10);
        const bool isNumber = end != nullptr && *end == '\0';
        if (key == "baud" && isNumber && number > 0) {
            parsed.baud = static_cast<int>(number);
            haveBaud = true;
        } else if (key == "parity" && value.size() == 1 && std::strchr("NEOMSneoms", value[0])) {
            parsed.parity = static_cast<char>(value[0] & ~0x20);  // upper case
        } else if (key == "data" && isNumber && number >= 5 && number <= 8) {
            parsed.dataBits = static_cast<int>(number);
        } else if (key == "stop" && isNumber && (number == 1 || number == 2)) {
            parsed.stopBits = static_cast<int>(number);
        } else {
            return false;
        }
    }
    if (!haveBaud) {
        return false;
    }
    settings = parsed;
    return true;
}
