#include "cli/SendKeys.h"

#include <algorithm>
#include <cctype>

#include "config/SettingTexts.h"
#include "form/SettingCaptions.h"
#include "protocol/CommandFrames.h"
#include "protocol/CommandSet.h"

namespace {

std::string Folded(const std::string& name) {
    std::string folded;
    for (char c : name) {
        folded += c == '-' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return folded;
}

// The names a key's values go by on the command line: the file's.
std::vector<std::string> ValueNames(const SettingRow& row) {
    if (IsOnOff(row)) {
        return {"false", "true"};
    }
    return {row.valueNames.begin(), row.valueNames.end()};
}

std::string Joined(const std::vector<std::string>& words, const char* between) {
    std::string text;
    for (const std::string& w : words) {
        text += (text.empty() ? "" : between) + w;
    }
    return text;
}

std::vector<std::string> KeysOf(int32_t commandType) {
    std::vector<std::string> keys;
    for (const SettingRow* row : FrameSettings(commandType)) {
        keys.emplace_back(row->key);
    }
    return keys;
}

bool Sendable(int32_t type) {
    return IsCommandType(type) && type != kDeviceTypeSetup;
}

}  // namespace

int32_t FindSendCommand(const std::string& name) {
    for (int32_t i = 0; i < kCommandCount; ++i) {
        if (Sendable(i) && Folded(kCommandSet[static_cast<size_t>(i)].name) == Folded(name)) {
            return i;
        }
    }
    return kNoCommand;
}

std::string SendCommandList() {
    std::string text;
    for (int32_t i = 0; i < kCommandCount; ++i) {
        if (!Sendable(i)) {
            continue;
        }
        const std::string name = kCommandSet[static_cast<size_t>(i)].name;
        const std::vector<std::string> keys = KeysOf(i);
        text += "  " + name + std::string(name.size() < 22 ? 22 - name.size() : 1, ' ') +
                (keys.empty() ? "(no settings)" : Joined(keys, " ")) + "\n";
    }
    return text + "  (Device_Type_Setup's configuration block goes with read and write.)\n";
}

std::string SendKeyLines(int32_t commandType) {
    std::string text;
    for (const SettingRow* row : FrameSettings(commandType)) {
        text += std::string("  ") + row->key + "=" + Joined(ValueNames(*row), "|") + "\n      " +
                std::string(CaptionOf(*row)) + "\n";
    }
    return text;
}

std::string SendExample(int32_t commandType) {
    std::string text =
        std::string("tallisk-cli send ") + kCommandSet[static_cast<size_t>(commandType)].name;
    for (const SettingRow* row : FrameSettings(commandType)) {
        text += std::string(" ") + row->key + "=" + ValueNames(*row).back();
    }
    return text;
}

std::string TakeSendSettings(int32_t commandType, const std::vector<std::string>& words,
                             bool fromFile, DeviceSettings& settings) {
    const std::vector<const SettingRow*> rows = FrameSettings(commandType);
    const std::string name = kCommandSet[static_cast<size_t>(commandType)].name;
    const std::string allowed = rows.empty()
                                    ? name + " carries no setting"
                                    : name + " carries " + Joined(KeysOf(commandType), ", ");
    std::vector<const SettingRow*> given;
    for (const std::string& word : words) {
        const size_t eq = word.find('=');
        const std::string key = word.substr(0, eq);
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [&key](const SettingRow* r) { return key == r->key; });
        if (row == rows.end()) {
            return "unknown setting '" + key + "': " + allowed;
        }
        if (std::find(given.begin(), given.end(), *row) != given.end()) {
            return key + " is given twice";
        }
        const std::vector<std::string> values = ValueNames(**row);
        const std::string value = eq == std::string::npos ? "" : word.substr(eq + 1);
        const auto found = std::find(values.begin(), values.end(), value);
        if (found == values.end()) {
            return key +
                   (eq == std::string::npos ? " needs a value" : " cannot be '" + value + "'") +
                   ": it is one of " + Joined(values, ", ");
        }
        settings.*(*row)->field = static_cast<int32_t>(found - values.begin());
        given.push_back(*row);
    }
    if (fromFile) {
        return "";
    }
    std::vector<std::string> missing;
    for (const SettingRow* row : rows) {
        if (std::find(given.begin(), given.end(), row) == given.end()) {
            missing.emplace_back(row->key);
        }
    }
    return missing.empty()
               ? ""
               : name + " needs every setting it carries; missing: " + Joined(missing, ", ") +
                     " (or take them from a file: --from FILE)";
}
