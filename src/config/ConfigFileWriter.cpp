#include <QJsonArray>
#include <QJsonDocument>

#include "config/ConfigFile.h"
#include "config/SettingTexts.h"
#include "protocol/EscapedText.h"
#include "protocol/HexText.h"

namespace {

// Every name and value written comes from this library's tables or is hex,
// so nothing needs escaping.
void AddMember(std::string& out, std::string_view indent, std::string_view key,
               std::string_view json, bool last) {
    out += indent;
    out += '"';
    out += key;
    out += "\": ";
    out += json;
    out += last ? "\n" : ",\n";
}

}  // namespace

std::string WriteConfigFile(const DeviceSettings& settings, const CodeValues& codes,
                            const ConfigBlock* block) {
    constexpr std::string_view kTop = "  ";
    constexpr std::string_view kInner = "    ";
    std::string out = "{\n";
    AddMember(out, kTop, "format", "\"" + std::string(kConfigFileFormat) + "\"", false);
    AddMember(out, kTop, "version", std::to_string(kConfigFileVersion), false);

    out += "  \"settings\": {\n";
    for (size_t i = 0; i < kSettings.size(); ++i) {
        const SettingRow& s = kSettings[i];
        AddMember(out, kInner, s.key, FileValueOf(s, settings.*s.field), i + 1 == kSettings.size());
    }
    out += "  },\n";

    out += "  \"codes\": {\n";
    for (size_t i = 0; i < kCodes.size(); ++i) {
        AddMember(out, kInner, kCodes[i].key, FileCodeOf(codes[i]), i + 1 == kCodes.size());
    }
    out += block != nullptr ? "  },\n" : "  }\n";

    if (block != nullptr) {
        AddMember(out, kTop, "block", QuotedText(HexBytes(*block)), true);
    }
    out += "}\n";
    return out;
}

std::string WithReportMembers(const std::string& file, const QJsonObject& members) {
    const size_t end = file.rfind('}');
    if (end == std::string::npos || members.isEmpty()) {
        return file;
    }
    std::string out = file.substr(0, end);
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) {
        out.pop_back();
    }
    for (auto it = members.begin(); it != members.end(); ++it) {
        // The value alone, as Qt writes it inside an array.
        std::string value =
            QJsonDocument(QJsonArray{it.value()}).toJson(QJsonDocument::Compact).toStdString();
        value = value.substr(1, value.size() - 2);
        out += ",\n  \"" + it.key().toStdString() + "\": " + value;
    }
    return out + "\n}\n";
}
