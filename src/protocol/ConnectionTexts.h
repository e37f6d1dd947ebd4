#pragma once

#include <string>
#include <string_view>

// Status texts of connecting to the reader. %s-style texts take the model
// name of the current device model.
namespace status {

inline constexpr const char* kUsbChannelFailed = "Status: Start USB Thread Fal!";
inline constexpr const char* kUsbSearching = "Status: Connect To USB Device...";
inline constexpr const char* kSerialOpened = "Status: Serial Open Success";
inline constexpr const char* kSerialOpenFailed = "Status: Serial Open Fail!";

// The outcome of a USB search, by its find result 0 to 6.
std::string FindResultText(int findResult, std::string_view modelName);
// The reader was found but this user may not open its device node.
std::string AccessDeniedText(std::string_view modelName);
std::string ReaderConnectedText(std::string_view modelName);
std::string ReaderRemovedText(std::string_view modelName);

}  // namespace status

// Outcomes of a USB search for the reader.
enum FindResult : int {
    kFindOpened = 0,
    kFindEmptyIdentity = 1,
    kFindBadVendor = 2,
    kFindBadProduct = 3,
    kFindBadVersion = 4,
    kFindNoMatch = 5,
    kFindNoHidDevice = 6,
    kFindChannelFailed = 7,  // the USB channel could not be prepared
};
