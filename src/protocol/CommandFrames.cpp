#include "protocol/CommandFrames.h"

#include "protocol/CommandSet.h"

namespace {

bool CarriesAll(int32_t command, const DeviceSettings& settings) {
    return command == kDeviceTypeSetup && settings.deviceType == 0;
}

std::vector<uint8_t> ShortFrame(int32_t command, const DeviceSettings& settings) {
    const CommandSpec& entry = kCommandSet[static_cast<size_t>(command)];
    const std::vector<const SettingRow*> rows = FrameSettings(command);
    if (rows.empty()) {
        return {kEsc, entry.letter};
    }
    int payload = entry.base;
    for (const SettingRow* row : rows) {
        payload += row->weight * (settings.*row->field);
    }
    return {kEsc, entry.letter, static_cast<uint8_t>(payload)};
}

}  // namespace

std::vector<const SettingRow*> FrameSettings(int32_t command) {
    std::vector<const SettingRow*> rows;
    for (const SettingRow& row : kSettings) {
        if (row.command == command) {
            rows.push_back(&row);
        }
    }
    return rows;
}

const SettingRow* MissingSettingOf(int32_t command, const DeviceSettings& settings) {
    for (const SettingRow& row : kSettings) {
        const bool carried = CarriesAll(command, settings) || row.command == command;
        if (carried && !IsChoice(row, settings.*row.field)) {
            return &row;
        }
    }
    return nullptr;
}

BuiltFrame BuildCommandFrame(int32_t command, const Configuration& configuration) {
    BuiltFrame built;
    if (!IsCommandType(command)) {
        built.lack = BuiltFrame::Lack::NoCommand;
        return built;
    }
    built.missing = MissingSettingOf(command, configuration.settings);
    if (built.missing != nullptr) {
        built.lack = BuiltFrame::Lack::Setting;
        return built;
    }
    if (!CarriesAll(command, configuration.settings)) {
        built.bytes = ShortFrame(command, configuration.settings);
        return built;
    }
    if (!configuration.reserved) {
        built.lack = BuiltFrame::Lack::ReportedBlock;
        return built;
    }
    const ConfigBlock block = EncodeConfiguration(configuration);
    built.bytes = {kEsc, kConfigBlockLetter};
    built.bytes.insert(built.bytes.end(), block.begin(), block.end());
    return built;
}
