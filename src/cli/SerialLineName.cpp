#include "cli/SerialLineName.h"

#include <unistd.h>

#include <cctype>
#include <string_view>

#include "channels/serial/SerialPort.h"

namespace {

constexpr std::string_view kPortPrefix = "COM";
constexpr std::string_view kVariablePrefix = "TALLISK_COM";

// n of "COM<n>" (any case), or 0.
int PortNumberOf(std::string_view value) {
    if (value.size() <= kPortPrefix.size() || value.size() > kPortPrefix.size() + 3) {
        return 0;
    }
    for (size_t i = 0; i < kPortPrefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(value[i])) != kPortPrefix[i]) {
            return 0;
        }
    }
    int number = 0;
    for (const char c : value.substr(kPortPrefix.size())) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return 0;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

}  // namespace

std::string SerialLinePath(const std::string& value) {
    const int port = PortNumberOf(value);
    return port >= 1 ? SerialPort::DevicePathFor(port) : value;
}

std::string NoUsbReaderText() {
    std::string text = "no reader found on USB (is it plugged in?)";
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view variable(*entry);
        const size_t equals = variable.find('=');
        if (!variable.starts_with(kVariablePrefix) || equals == std::string_view::npos ||
            equals + 1 == variable.size()) {
            continue;
        }
        const std::string name(variable.substr(0, equals));
        const std::string port = std::string(kPortPrefix) + name.substr(kVariablePrefix.size());
        if (PortNumberOf(port) >= 1) {
            text += "; " + name + " names the serial line " +
                    std::string(variable.substr(equals + 1)) +
                    ": for a reader there, add --serial " + port;
        }
    }
    return text;
}
