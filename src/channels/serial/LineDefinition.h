#pragma once

#include <string>

#include "platform/serial/SerialDevice.h"

// The line definition text "baud=%d parity=%c data=%d stop=%d".
std::string FormatLineDefinition(int baud, char parity, int dataBits, int stopBits);

// Fills the speed and framing of settings from a line definition; other
// fields keep their values. False when the text is not a valid definition.
bool ParseLineDefinition(const std::string& text, LineSettings& settings);
