#pragma once

#include <string>

#include "commandline/CommandLine.h"

// What tallisk's command line asks of the utility.
struct UtilityOptions {
    bool trace = false;      // --trace: every frame and report on standard error
    std::string serialPort;  // --serial-port: the device of COM1; empty for the usual one
};

// tallisk's options, help and exit statuses.
extern const ProgramSpec kUtilityProgram;

UtilityOptions UtilityOptionsFrom(const CommandLine& line);

// Points COM1 at the --serial-port device, as TALLISK_COM1 does; to be
// called before anything opens the port.
void ApplySerialPort(const UtilityOptions& options);
