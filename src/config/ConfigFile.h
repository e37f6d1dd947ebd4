#pragma once

#include <QJsonObject>

#include <array>
#include <string>
#include <string_view>

#include "protocol/Configuration.h"

// The configuration file: a reader's settings and codes by name, in JSON.
// docs/configuration-file.md describes the format and its refusals.

inline constexpr std::string_view kConfigFileFormat = "tallisk-configuration";
// The version this program writes; it reads every version it knows.
inline constexpr int kConfigFileVersion = 1;
inline constexpr std::array<int, 1> kKnownConfigFileVersions = {1};

enum class ConfigFileStatus {
    Ok,
    Malformed,         // not JSON, or not a JSON object
    NotConfiguration,  // "format" missing or not ours
    UnknownVersion,    // "version" missing, not a whole number, or not known
    BadContent,        // unknown members, or settings and codes that are wrong or missing
};

struct ConfigFileResult {
    ConfigFileStatus status = ConfigFileStatus::Ok;
    Configuration configuration;  // meaningful only when status is Ok
    std::string message;          // why the file was refused, one problem a line
};

// The file for this configuration, in the form's order. With a block, the
// raw block is added for reference; reading ignores it. A value that names
// no choice is written as null, which reading refuses for a setting the
// block needs.
std::string WriteConfigFile(const DeviceSettings& settings, const CodeValues& codes,
                            const ConfigBlock* block);

// The file with members of a command's report added at its end ("ok",
// "exit", "device", "error"), its own members kept in their order. Reading
// a file ignores them.
std::string WithReportMembers(const std::string& file, const QJsonObject& members);
inline constexpr std::array<const char*, 4> kReportMembers = {"ok", "exit", "device", "error"};

// The configuration a file holds, or why it is refused. Every setting the
// block carries and every code must be present; the device type may be left
// out and is then CUSTOM, the type every ESC 'S' block sets.
ConfigFileResult ReadConfigFile(std::string_view text);
