#include "app/UtilityOptions.h"

#include <array>
#include <cstdlib>

namespace {

constexpr std::array<OptionSpec, 2> kOptions{{
    {"serial-port", "PATH",
     "the serial line's device for COM1, as TALLISK_COM1=PATH (else /dev/ttyS0)"},
    {"trace", nullptr,
     "every frame and report sent and received, in hex with a millisecond time stamp, on "
     "standard error"},
}};

}  // namespace

const ProgramSpec kUtilityProgram{
    "tallisk",
    "Configures and tests a cheque reader on USB or on a serial line, in a window.",
    kOptions,
    "Exit status: 0 when the window closes, 2 without a display, 64 for a wrong option, 128 + "
    "the signal when SIGINT, SIGTERM or SIGHUP closed the window.",
};

UtilityOptions UtilityOptionsFrom(const CommandLine& line) {
    return {line.Has("trace"), line.Value("serial-port")};
}

void ApplySerialPort(const UtilityOptions& options) {
    // SerialPort::DevicePathFor reads the variable whenever the port opens.
    if (!options.serialPort.empty()) {
        ::setenv("TALLISK_COM1", options.serialPort.c_str(), 1);
    }
}
