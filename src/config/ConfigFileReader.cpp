#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>
#include <algorithm>
#include <charconv>
#include <map>
#include <vector>

#include "config/ConfigFile.h"
#include "config/SettingTexts.h"
#include "config/StrictJson.h"
#include "form/SettingCaptions.h"
#include "protocol/EscapedText.h"

namespace {

using Problems = std::vector<std::string>;
using Numbers = std::map<std::string, std::string>;

constexpr std::array<const char*, 5> kTopMembers = {"format", "version", "settings", "codes",
                                                    "block"};

// A JSON value as a refusal quotes what it found: a number as the file
// writes it (numbers holds them by the member's path), a string escaped.
std::string Found(const QJsonValue& v, const Numbers& numbers = {}, const std::string& path = {}) {
    switch (v.type()) {
        case QJsonValue::Null:
            return "null";
        case QJsonValue::Bool:
            return v.toBool() ? "true" : "false";
        case QJsonValue::Double:
            if (const auto it = numbers.find(path); it != numbers.end()) {
                return it->second;
            }
            return QString::number(v.toDouble()).toStdString();
        case QJsonValue::String:
            return QuotedText(v.toString().toStdString());
        case QJsonValue::Array:
            return "an array";
        case QJsonValue::Object:
            return "an object";
        case QJsonValue::Undefined:
            break;
    }
    return "nothing";
}

std::string KnownVersions() {
    std::string text;
    for (int v : kKnownConfigFileVersions) {
        text += (text.empty() ? "" : ", ") + std::to_string(v);
    }
    return "known versions: " + text;
}

ConfigFileResult Refuse(ConfigFileStatus status, std::string message) {
    ConfigFileResult result;
    result.status = status;
    result.message = std::move(message);
    return result;
}

std::string AllowedOf(const SettingRow& s) {
    if (IsOnOff(s)) {
        return "true or false";
    }
    std::string text = "one of ";
    for (size_t i = 0; i < s.valueNames.size(); ++i) {
        text += (i == 0 ? "" : ", ") + QuotedText(s.valueNames[i]);
    }
    return text;
}

// The index of the value the file names, or -1.
int ValueIn(const SettingRow& s, const QJsonValue& v) {
    if (IsOnOff(s)) {
        return v.isBool() ? (v.toBool() ? 1 : 0) : -1;
    }
    if (!v.isString()) {
        return -1;
    }
    const std::string name = v.toString().toStdString();
    for (size_t i = 0; i < s.valueNames.size(); ++i) {
        if (name == s.valueNames[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Every member of object that no entry of table names is a problem.
template <typename Table>
void RefuseUnknownKeys(const QJsonObject& object, const Table& table, const char* what,
                       Problems& problems) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        const std::string key = it.key().toStdString();
        const bool known = std::any_of(table.begin(), table.end(),
                                       [&key](const auto& entry) { return key == entry.key; });
        if (!known) {
            problems.push_back(std::string("unknown ") + what + " " + QuotedText(key));
        }
    }
}

void ReadSettings(const QJsonObject& object, const Numbers& numbers, DeviceSettings& settings,
                  Problems& problems) {
    RefuseUnknownKeys(object, kSettings, "setting", problems);
    for (const SettingRow& s : kSettings) {
        const std::string name =
            "setting " + QuotedText(s.key) + " (" + std::string(CaptionOf(s)) + ")";
        const QJsonValue v = object.value(QLatin1String(s.key));
        if (v.isUndefined() && s.place.digit) {
            // Left out, it is the first value, CUSTOM: the type a block sets.
            settings.*s.field = 0;
        } else if (v.isUndefined()) {
            problems.push_back(name + " is missing; it must be " + AllowedOf(s));
        } else if (const int value = ValueIn(s, v); value < 0) {
            problems.push_back(name + " must be " + AllowedOf(s) + "; found " +
                               Found(v, numbers, "settings." + std::string(s.key)));
        } else {
            settings.*s.field = value;
        }
    }
}

// "0x01" to "0x7f", either case; 0 for anything else.
int CodeByteOf(const std::string& text) {
    if (text.size() < 3 || text.size() > 4 || text[0] != '0' ||
        (text[1] != 'x' && text[1] != 'X')) {
        return 0;
    }
    int byte = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data() + 2, end, byte, 16);
    return error == std::errc{} && stop == end && IsCodeByte(byte) ? byte : 0;
}

void ReadCodes(const QJsonObject& object, const Numbers& numbers, CodeValues& codes,
               Problems& problems) {
    constexpr std::string_view kAllowed = R"(a byte "0x01" to "0x7f", or null for none)";
    RefuseUnknownKeys(object, kCodes, "code", problems);
    for (size_t i = 0; i < kCodes.size(); ++i) {
        const CodeRow& c = kCodes[i];
        const std::string name =
            "code " + QuotedText(c.key) + " (" + std::string(CaptionOf(c)) + ")";
        const QJsonValue v = object.value(QLatin1String(c.key));
        int& code = codes[i];
        if (v.isUndefined()) {
            problems.push_back(name + " is missing; it must be " + std::string(kAllowed));
        } else if (v.isNull()) {
            code = 0;
        } else if (const int byte = v.isString() ? CodeByteOf(v.toString().toStdString()) : 0;
                   byte == 0) {
            problems.push_back(name + " must be " + std::string(kAllowed) + "; found " +
                               Found(v, numbers, "codes." + std::string(c.key)));
        } else {
            code = byte;
        }
    }
}

void ReadTopMembers(const QJsonObject& top, const Numbers& numbers, Configuration& configuration,
                    Problems& problems) {
    for (auto it = top.begin(); it != top.end(); ++it) {
        const std::string key = it.key().toStdString();
        const bool report =
            std::find(kReportMembers.begin(), kReportMembers.end(), key) != kReportMembers.end();
        if (!report &&
            std::find(kTopMembers.begin(), kTopMembers.end(), key) == kTopMembers.end()) {
            problems.push_back("unknown member " + QuotedText(key) +
                               R"(; a file holds "format", "version", "settings", "codes" and )"
                               R"("block")");
        }
    }
    const QJsonValue settings = top.value(QLatin1String("settings"));
    if (settings.isObject()) {
        ReadSettings(settings.toObject(), numbers, configuration.settings, problems);
    } else {
        problems.push_back(R"("settings" must be an object of named settings; found )" +
                           Found(settings));
    }
    const QJsonValue codes = top.value(QLatin1String("codes"));
    if (codes.isObject()) {
        ReadCodes(codes.toObject(), numbers, configuration.codes, problems);
    } else {
        problems.push_back(R"("codes" must be an object of named codes; found )" + Found(codes));
    }
}

}  // namespace

ConfigFileResult ReadConfigFile(std::string_view text) {
    // Qt's parser takes a key given twice (the last wins), unknown escapes
    // and raw control characters, and gives numbers only as doubles: the
    // strict check refuses those first and keeps each number as written.
    const JsonCheck check = CheckStrictJson(text);
    if (!check.ok) {
        return Refuse(ConfigFileStatus::Malformed, check.problem);
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(text.data(), static_cast<qsizetype>(text.size())), &error);
    if (error.error != QJsonParseError::NoError) {
        return Refuse(ConfigFileStatus::Malformed,
                      "not valid JSON: " + error.errorString().toStdString() + " at offset " +
                          std::to_string(error.offset));
    }
    if (!document.isObject()) {
        return Refuse(ConfigFileStatus::Malformed,
                      "not a configuration file: the top level is not a JSON object");
    }
    const QJsonObject top = document.object();

    const QJsonValue format = top.value(QLatin1String("format"));
    if (format.toString().toStdString() != kConfigFileFormat) {
        return Refuse(ConfigFileStatus::NotConfiguration,
                      R"(not a configuration file: "format" must be )" +
                          QuotedText(kConfigFileFormat) + "; found " + Found(format));
    }

    // A whole number is written with digits alone: 1.0, 1e0 and
    // 0.99999999999999999999 (a double that is 1) are refused.
    const QJsonValue version = top.value(QLatin1String("version"));
    const std::string written = Found(version, check.numbers, "version");
    if (!version.isDouble() || written.find_first_of(".eE") != std::string::npos) {
        return Refuse(
            ConfigFileStatus::UnknownVersion,
            R"("version" must be a whole number; found )" + written + "; " + KnownVersions());
    }
    if (version.toDouble() != version.toInt() ||
        std::find(kKnownConfigFileVersions.begin(), kKnownConfigFileVersions.end(),
                  version.toInt()) == kKnownConfigFileVersions.end()) {
        return Refuse(ConfigFileStatus::UnknownVersion,
                      "version " + written + " is not known; " + KnownVersions());
    }

    ConfigFileResult result;
    Problems problems;
    ReadTopMembers(top, check.numbers, result.configuration, problems);
    if (!problems.empty()) {
        result.status = ConfigFileStatus::BadContent;
        for (const std::string& line : problems) {
            result.message += (result.message.empty() ? "" : "\n") + line;
        }
        result.configuration = Configuration{};
    }
    return result;
}
