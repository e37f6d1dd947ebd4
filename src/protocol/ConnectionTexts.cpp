#include "protocol/ConnectionTexts.h"

namespace status {

namespace {
std::string Framed(std::string_view head, std::string_view model, std::string_view tail) {
    std::string text(head);
    text += model;
    text += tail;
    return text;
}
}  // namespace

std::string FindResultText(int findResult, std::string_view modelName) {
    switch (findResult) {
        case kFindOpened:
            return Framed("Status: Find ", modelName, "!");
        case kFindEmptyIdentity:
        case kFindBadVendor:
        case kFindBadProduct:
        case kFindBadVersion:
            return "Status: The VendorID/ProductID/VersionNumber Probably Wrong!";
        case kFindNoMatch:
            return Framed("Status: Not Find ", modelName, "!\r\n");
        case kFindNoHidDevice:
            return "Status: Find No Device!";
        default:
            return kUsbChannelFailed;
    }
}

std::string AccessDeniedText(std::string_view modelName) {
    return Framed("Status: Find ", modelName, ", Access Denied!");
}

std::string ReaderConnectedText(std::string_view modelName) {
    return Framed("Status: ", modelName, " Is Connected!");
}

std::string ReaderRemovedText(std::string_view modelName) {
    return Framed("Status: ", modelName, " Is Probably UnConnectend!");
}

}  // namespace status
