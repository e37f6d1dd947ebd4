#pragma once

#include <string>

// Prints the USB readers and the serial lines a reader may be on, and
// whether this user may open each; gives the exit status.
int ListReadersAndLines(bool json);

// Why a serial line may not open, and the fix, as " ..." to append to a
// failure; empty when nothing is known.
std::string SerialOpenAdvice(const std::string& path);
