#include <algorithm>

#include "protocol/CommandSet.h"
#include "protocol/ConfigBlock.h"
#include "protocol/ConfigProtocol.h"

namespace {

constexpr int kShortFrameLength = 3;
constexpr int kBlockFrameLength = 2 + kConfigBlockSize;

const SettingBinding& BindingOf(int32_t DeviceSettings::*field) {
    return *std::find_if(kSettingBindings.begin(), kSettingBindings.end(),
                         [field](const SettingBinding& b) { return b.field == field; });
}

bool InRange(const DeviceSettings& s, const SettingBinding& b) {
    const int32_t value = s.*b.field;
    return value >= 0 && value < b.valueCount;
}

}  // namespace

ConfigProtocol::ConfigProtocol(FormOperations& form, WindowRecord& record, ExchangeState& exchange)
    : form_(form), record_(record), exchange_(exchange), controls_(form) {}

bool ConfigProtocol::SettingsCompleteFor(int32_t commandType) const {
    const DeviceSettings& s = record_.settings;
    if (commandType == kDeviceTypeSetup && s.deviceType == 0) {
        // The block carries every radio group.
        return std::all_of(kSettingBindings.begin(), kSettingBindings.end(),
                           [&s](const SettingBinding& b) { return InRange(s, b); });
    }
    if (!IsCommandType(commandType)) {
        return true;
    }
    const CommandSpec& command = kCommandSet[static_cast<size_t>(commandType)];
    return std::all_of(command.terms.begin(), command.terms.begin() + command.termCount,
                       [&s](const PayloadTerm& t) { return InRange(s, BindingOf(t.field)); });
}

void ConfigProtocol::BuildCommandFrame() {
    exchange_.replyBuffer.bytes.fill(0);
    exchange_.replyBuffer.length = 0;
    exchange_.frameFromSendCmd = 1;
    Save();

    const int32_t type = exchange_.commandType;
    if (!IsCommandType(type)) {
        return;
    }
    if (!SettingsCompleteFor(type)) {
        exchange_.commandFrame.length = 0;
        record_.statusText = status::kSettingsIncomplete;
        Load();
        return;
    }
    if (type == kDeviceTypeSetup && record_.settings.deviceType == 0) {
        if (!blockFromReader_) {
            exchange_.commandFrame.length = 0;
            record_.statusText = status::kConfigReadFailed;
            Load();
            return;
        }
        BuildConfigBlockFrame();
    } else {
        BuildShortFrame(type);
    }
}

void ConfigProtocol::BuildShortFrame(int32_t commandType) {
    const CommandSpec& command = kCommandSet[static_cast<size_t>(commandType)];
    CommandFrame& frame = exchange_.commandFrame;
    frame.bytes[0] = kEsc;
    frame.bytes[1] = command.letter;
    if (command.termCount == 0) {
        frame.length = 2;
        return;
    }
    int payload = command.base;
    for (int i = 0; i < command.termCount; ++i) {
        const PayloadTerm& term = command.terms[static_cast<size_t>(i)];
        payload += term.weight * (record_.settings.*term.field);
    }
    frame.bytes[2] = static_cast<uint8_t>(payload);
    frame.length = kShortFrameLength;
}

void ConfigProtocol::BuildConfigBlockFrame() {
    CommandFrame& frame = exchange_.commandFrame;
    frame.bytes[0] = kEsc;
    frame.bytes[1] = kConfigBlockLetter;
    std::span<uint8_t, kConfigBlockSize> block(frame.bytes.data() + 2, kConfigBlockSize);
    EncodeBlockSettings(record_.settings, block);
    for (const CodeBinding& code : kCodeBindings) {
        block[static_cast<size_t>(code.blockByte)] =
            static_cast<uint8_t>(CodeValueFromIndex(form_.SelectedIndex(code.listId)));
    }
    frame.length = kBlockFrameLength;
}

void ConfigProtocol::PrepareCommandFrame() {
    exchange_.replyBuffer.bytes.fill(0);
    exchange_.replyBuffer.length = 0;
    // Clearing the bytes of a frame that is still pending would send zeros
    // in its place: the pending frame is dropped with its bytes.
    exchange_.commandFrame.bytes.fill(0);
    exchange_.commandFrame.length = 0;
    exchange_.frameFromSendCmd = 0;
    blockFromReader_ = false;

    const int32_t type = exchange_.commandType;
    if (!IsCommandType(type)) {
        return;
    }
    record_.statusText = kCommandSet[static_cast<size_t>(type)].selectionText;
    if (type == kDeviceTypeSetup) {
        std::copy(kConfigReadRequest.begin(), kConfigReadRequest.end(),
                  exchange_.commandFrame.bytes.begin());
        exchange_.commandFrame.length = static_cast<int32_t>(kConfigReadRequest.size());
    }
}
