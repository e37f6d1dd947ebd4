#pragma once

#include <string>
#include <string_view>

// One line saying why a device could not be used: the device, the system's
// word for it, and the likely fix, as "PATH: why; fix" (no fix part when
// none is known). Both programs print these, on standard error.
std::string FailureLine(std::string_view path, std::string_view why, std::string_view fix);

// The fix for a serial line that would not open with error (an errno
// value); a port in use names its holders, or says that none can be seen
// when holders is empty. Empty when the error has no known fix.
std::string SerialOpenFix(int error, std::string_view holders);
// Why a serial line would not open and the fix, "why; fix", and the whole
// line; both look for the port's holders when it is in use.
std::string SerialOpenReason(const std::string& path, int error);
std::string SerialOpenFailureLine(const std::string& path, int error);

// A USB reader found on a node this user may not open.
std::string_view UsbAccessFix();
std::string UsbNoAccessLine(std::string_view path);
// A USB reader another program holds: who holds it ("name (pid), ...", or
// none seen when empty) and the fix; the second looks the holders up.
std::string UsbInUseLine(std::string_view path, std::string_view holders);
std::string UsbInUseLine(const std::string& path);
// The USB reader went away.
std::string ReaderUnpluggedLine(std::string_view path);
// No USB reader of this identity (hex texts, as the model gives them).
std::string ReaderNotFoundLine(std::string_view vendor, std::string_view product,
                               std::string_view version);

// Prints line on standard error after the program's name.
void SayFailure(const std::string& line);
