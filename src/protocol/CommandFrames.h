#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "protocol/Configuration.h"
#include "protocol/SettingTable.h"

// The frame of one command of the command set, built from a configuration
// value, or why it cannot be built.
struct BuiltFrame {
    enum class Lack {
        None,          // bytes is the frame
        NoCommand,     // not a command of the command set
        Setting,       // missing names a setting the frame carries and lacks
        ReportedBlock  // an ESC 'S' block needs bytes 14 and 15 as reported
    };
    Lack lack = Lack::None;
    const SettingRow* missing = nullptr;
    std::vector<uint8_t> bytes;
};

// Device_Type_Setup builds ESC 'A' with the device type's digit, or for
// CUSTOM the ESC 'S' block; every other command ESC, its letter and, when
// settings carry it, its payload byte.
BuiltFrame BuildCommandFrame(int32_t command, const Configuration& configuration);

// The settings whose values a command's payload byte is made of, in the
// table's order: none for a command without one. For Device_Type_Setup this
// is the device type, which for CUSTOM sends the block of every setting and
// code instead.
std::vector<const SettingRow*> FrameSettings(int32_t command);

// The first setting the frame for this configuration carries and holds no
// value its control can show, or nullptr.
const SettingRow* MissingSettingOf(int32_t command, const DeviceSettings& settings);
