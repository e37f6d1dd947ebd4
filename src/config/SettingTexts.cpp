#include "config/SettingTexts.h"

#include "form/SettingCaptions.h"
#include "protocol/NameTables.h"

namespace {

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    out.append(text);
    out += '"';
    return out;
}

}  // namespace

std::string FileValueOf(const SettingRow& setting, int value) {
    if (!IsChoice(setting, value)) {
        return "null";
    }
    if (IsOnOff(setting)) {
        return value != 0 ? "true" : "false";
    }
    return Quoted(setting.valueNames[static_cast<size_t>(value)]);
}

std::string FileCodeOf(int byte) {
    if (!IsCodeByte(byte)) {
        return "null";
    }
    // The list entry's own hex, "0x25".
    return Quoted(CodeNameOf(byte).substr(0, 4));
}

std::string ShownValueOf(const SettingRow& setting, int value) {
    if (value == -1) {
        return "(none)";
    }
    if (!IsChoice(setting, value)) {
        return "(no such choice: " + std::to_string(value) + ")";
    }
    if (IsOnOff(setting)) {
        return value != 0 ? "checked" : "clear";
    }
    return std::string(RadioLabelsOf(setting)[static_cast<size_t>(value)]);
}

std::string ShownCodeOf(int byte) {
    if (!IsCodeByte(byte)) {
        return "(none)";
    }
    if (byte == kLastCodeByte) {
        // The lists show DEL as "?", which reads as a question mark.
        return "0x7f DEL";
    }
    const std::string_view name = CodeNameOf(byte);
    return std::string(name.substr(0, name.find_last_not_of(' ') + 1));
}
