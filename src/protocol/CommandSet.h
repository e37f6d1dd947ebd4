#pragma once

#include <array>
#include <cstdint>

inline constexpr uint8_t kEsc = 0x1B;

enum CommandType : int32_t {
    kNoCommand = -1,
    kDeviceInitial = 0,
    kDeviceConnect,
    kDeviceTypeSetup,
    kCheckStandardsSetup,
    kMsr1StandardsSetup,
    kMsr2StandardsSetup,
    kMsr3StandardsSetup,
    kMsrCodeTypeSetup,
    kMsrReadLimit,
};
inline constexpr int kCommandCount = 9;

// A command of the Command Type list and the short frame that Send Cmd builds
// for it: ESC, the letter, and when a setting row names the command, one
// payload byte that is base plus each such setting times its weight.
// Device_Type_Setup builds ESC 'A' or the ESC 'S' block depending on the
// device type.
struct CommandSpec {
    const char* name;
    const char* selectionText;  // shown when the command is chosen
    const char* successText;    // shown when the reader acknowledges it
    uint8_t letter;
    uint8_t base;
};

extern const std::array<CommandSpec, kCommandCount> kCommandSet;

bool IsCommandType(int32_t type);

// The configuration read request queued when Device_Type_Setup is chosen.
inline constexpr std::array<uint8_t, 2> kConfigReadRequest = {kEsc, 'R'};
inline constexpr uint8_t kConfigBlockLetter = 'S';
inline constexpr uint8_t kDeviceTypeLetter = 'A';
