#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/hid/HidPlatform.h"

// The HID devices with the identity of the reader model the utility works
// with, as the system lists them.
std::vector<HidDeviceInfo> ListReaders(HidPlatform& platform);

// The system's HID devices seen through one device path: a search finds
// the reader on that node or nowhere.
std::unique_ptr<HidPlatform> OnlyThePath(std::unique_ptr<HidPlatform> platform,
                                         const std::string& path);
