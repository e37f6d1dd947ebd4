#pragma once

#include <string>

#include "protocol/Configuration.h"

// A reader's configuration for a person to read: a "caption (key): value"
// line for every setting as the window shows it, every code as hex and its
// name or character, and the raw block as hex. The JSON form of the same is the configuration file
// with the block, WriteConfigFile(settings, codes, &raw).
std::string DescribeSettings(const DeviceSettings& settings, const CodeValues& codes,
                             const ConfigBlock& raw);
