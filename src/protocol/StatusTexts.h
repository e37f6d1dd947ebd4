#pragma once

#include <array>
#include <cstdint>

// Texts of the status line that are not tied to one command.
namespace status {

inline constexpr const char* kPrefix = "Status: ";
inline constexpr const char* kCommandFailed = "Status: Command Execute fail!!";
inline constexpr const char* kNotSupported = "Status: Not Support Command";
inline constexpr const char* kConfigReadOk =
    "Status: Read Device Config Ok,Please Preserve After Change!";
inline constexpr const char* kConfigReadFailed = "Status: Read Device Config Fail!";
inline constexpr const char* kSettingsIncomplete = "Status: Please Select All Settings First!";

// Channel failures, by exchange result 1 to 7; 0 lets the reply decide.
inline constexpr int kResultCount = 8;
inline constexpr std::array<const char*, kResultCount> kExchangeResultTexts = {
    nullptr,
    "Status: Data Translate Type Error!",
    "Status: Data Length Type Error!",
    "Status: Find No Device!",
    "Status: Send Data Fail!",
    "Status: Device Communicate Terminate!",
    "Status: Device Communicate Terminate!",
    "Status: Serial Not Opened!",
};

}  // namespace status

// Outcome of one exchange: 0 means the reply decides, 1 to 7 are channel
// failures with their own status texts.
enum ExchangeResult : int32_t {
    kExchangeOk = 0,
    kExchangeNoReportType = 1,     // no report type selected
    kExchangeBadReportLength = 2,  // a report the buffers cannot hold
    kExchangeNotConnected = 3,     // the reader was not connected (or not the USB mode)
    kExchangeSendFailed = 4,       // the last report of the frame did not go
    kExchangeConnectionLost = 5,   // the reader went during the reply wait
    kExchangeNoReply = 6,          // no reply when the wait ended
    kExchangeSerialNotOpen = 7,
};
