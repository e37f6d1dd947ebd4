#pragma once

#include <string>

// Says why on standard error, "tallisk-cli: text", and gives status.
int Fail(int status, const std::string& text);
// text as a JSON string, quotes included.
std::string JsonText(const std::string& text);
