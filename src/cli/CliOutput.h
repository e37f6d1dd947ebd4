#pragma once

#include <string>

// Says why on standard error, "tallisk-cli: text", and gives status.
int Fail(int status, const std::string& text);
// text as a JSON string, quotes included.
std::string JsonText(const std::string& text);

// What a command prints on standard output, or into *capture while one is set
// (the per-reader outputs of --all).
void Emit(const char* format, ...) __attribute__((format(printf, 1, 2)));
void CaptureOutput(std::string* capture);
