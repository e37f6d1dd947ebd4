#pragma once

#include <array>
#include <string_view>

// Display names of the byte values 0x00 to 0xFF, each exactly eight
// characters: "0x", two lower-case hex digits, a blank, a three-character name.
inline constexpr int kCodeNameLength = 8;
using CodeName = std::array<char, kCodeNameLength + 1>;  // NUL-terminated
const std::array<CodeName, 256>& CodeNameTable();
std::string_view CodeNameOf(int byteValue);

// A reader model: its name and the identity texts its USB device is found by.
struct DeviceModel {
    const char* name;
    const char* vendorId;
    const char* productId;
    const char* version;
};
inline constexpr int kDeviceModelCount = 3;
extern const std::array<DeviceModel, kDeviceModelCount> kDeviceModels;
// The model the window works with, for its whole run.
inline constexpr int kCurrentDeviceIndex = 2;

// How the reader is reached; the value is its index in the Connect Mode list.
enum ConnectMode : int { kUsbHidMode = 0, kSerialMode = 1 };
inline constexpr int kConnectModeCount = 2;
extern const std::array<const char*, kConnectModeCount> kConnectModeNames;

// Command names shown in the Command Type list, twenty slots per model;
// empty slots are not shown.
inline constexpr int kCommandNameSlots = 20;
using CommandNameRow = std::array<std::string_view, kCommandNameSlots>;
const std::array<CommandNameRow, kDeviceModelCount>& CommandNameTable();
