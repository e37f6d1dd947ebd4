#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/DeviceSettings.h"

// The commands send takes and the settings each carries, as KEY=VALUE
// words: the keys are the configuration file's, taken from the setting
// rows that name the command.

// The command of this name in the Command Type list, in any case and with
// "-" for "_"; kNoCommand for none or for Device_Type_Setup (its block goes
// with write).
int32_t FindSendCommand(const std::string& name);
// A line a command: its name and the keys it carries.
std::string SendCommandList();
// A line a key: the key, its caption, its values.
std::string SendKeyLines(int32_t commandType);
// The command with every key on its first value.
std::string SendExample(int32_t commandType);

// Sets the settings the words name. Every key the command carries must be
// given once, unless fromFile (then the words change the file's values).
// "" when all is well, else what is wrong, naming the keys allowed or
// missing.
std::string TakeSendSettings(int32_t commandType, const std::vector<std::string>& words,
                             bool fromFile, DeviceSettings& settings);
