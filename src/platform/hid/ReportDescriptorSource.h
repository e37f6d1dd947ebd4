#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The report descriptor of a hidraw node ("/dev/hidrawN"): read from the
// device's sysfs attribute, which needs no access to the node itself, or else
// asked of the node. nullopt for any other path, or when neither works.
std::optional<std::vector<uint8_t>> ReadReportDescriptor(const std::string& devicePath);
