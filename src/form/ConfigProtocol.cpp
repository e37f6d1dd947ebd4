#include "form/ConfigProtocol.h"

#include <algorithm>

#include "form/ControlIds.h"
#include "protocol/CommandFrames.h"
#include "protocol/CommandSet.h"
#include "protocol/ConfigReply.h"

namespace {

FrameOrder Dropped(ReplyUse use) {
    return {FrameOrder::Action::Drop, {}, use};
}

}  // namespace

ConfigProtocol::ConfigProtocol(FormOperations& form, WindowRecord& record)
    : form_(form), record_(record), controls_(form) {}

FrameOrder ConfigProtocol::BuildCommandFrame() {
    Save();
    if (!IsCommandType(commandType_)) {
        return {};
    }
    BuiltFrame built = ::BuildCommandFrame(commandType_, record_.configuration);
    if (built.lack == BuiltFrame::Lack::None) {
        return {FrameOrder::Action::Send, std::move(built.bytes), ReplyUse::Status};
    }
    record_.statusText = built.lack == BuiltFrame::Lack::Setting ? status::kSettingsIncomplete
                                                                 : status::kConfigReadFailed;
    Load();
    return Dropped(ReplyUse::Status);
}

FrameOrder ConfigProtocol::PrepareCommandFrame() {
    record_.configuration.reserved.reset();
    if (!IsCommandType(commandType_)) {
        return Dropped(ReplyUse::Configuration);
    }
    record_.statusText = kCommandSet[static_cast<size_t>(commandType_)].selectionText;
    if (commandType_ != kDeviceTypeSetup) {
        return Dropped(ReplyUse::Configuration);
    }
    return {FrameOrder::Action::Send,
            {kConfigReadRequest.begin(), kConfigReadRequest.end()},
            ReplyUse::Configuration};
}

void ConfigProtocol::ReportExchangeResult(ExchangeResult result, std::span<const uint8_t> reply,
                                          int32_t /*length*/) {
    record_.statusText = ReplyStatusText(commandType_, result, reply);
    Load();
}

void ConfigProtocol::DecodeConfigReply(ExchangeResult result, std::span<const uint8_t> reply,
                                       int32_t length) {
    // A block that is not a configuration the reader can hold (an
    // acknowledgement, a stale or garbled reply) is refused as one that did
    // not arrive: nothing of it is shown, kept or sent back.
    const std::optional<Configuration> read = ConfigurationOfReply(result, reply, length);
    if (!read) {
        record_.statusText = status::kConfigReadFailed;
        Load();
        return;
    }
    record_.configuration = *read;
    if (read->settings.deviceType == 0) {
        form_.EnableAllControls();
    } else {
        for (int id = ctl::DeviceTypeFrame; id <= ctl::LastDeviceTypeRadio; ++id) {
            form_.Enable(id, true);
        }
    }
    for (size_t i = 0; i < kCodeBindings.size(); ++i) {
        form_.SelectIndex(kCodeBindings[i].listId, CodeIndexFromValue(read->codes[i]));
    }
    record_.statusText = status::kConfigReadOk;
    Load();
}
