#pragma once

#include <string>

// The serial line a --serial value names: a path as it stands, or a port
// "COM<n>" as the window finds it (TALLISK_COM<n>, else /dev/ttyS<n-1>).
std::string SerialLinePath(const std::string& value);

// Why no reader was found on USB, with the way to a serial line that the
// environment names for the window (TALLISK_COM<n>), where one is set.
std::string NoUsbReaderText();
