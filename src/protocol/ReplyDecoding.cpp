#include "protocol/CommandSet.h"
#include "protocol/ConfigBlock.h"
#include "protocol/ConfigProtocol.h"
#include "protocol/ControlIds.h"

namespace {

constexpr uint8_t kAck = '0';
constexpr uint8_t kAckAlt = 'y';

uint8_t ReplyByte(std::span<const uint8_t> reply, size_t index) {
    return index < reply.size() ? reply[index] : 0;
}

}  // namespace

void ConfigProtocol::ReportExchangeResult(ExchangeResult result, std::span<const uint8_t> reply,
                                          int32_t /*length*/) {
    const int32_t type = exchange_.commandType;
    record_.statusText = IsCommandType(type) ? kCommandSet[static_cast<size_t>(type)].successText
                                             : status::kNotSupported;
    if (result >= 1 && result < status::kResultCount) {
        record_.statusText = status::kExchangeResultTexts[static_cast<size_t>(result)];
    } else if (result == 0) {
        const bool acknowledged = ReplyByte(reply, 0) == kEsc &&
                                  (ReplyByte(reply, 1) == kAck || ReplyByte(reply, 1) == kAckAlt);
        if (!acknowledged) {
            record_.statusText = status::kCommandFailed;
        }
    }
    Load();
}

void ConfigProtocol::DecodeConfigReply(ExchangeResult result, std::span<const uint8_t> reply,
                                       int32_t length) {
    // The length is the channel's word; the span is what may be read. A
    // block that is not a configuration the reader can hold (an
    // acknowledgement, a stale or garbled reply) is refused as one that did
    // not arrive: nothing of it is shown, kept or sent back.
    const bool complete =
        result == 0 && length >= kConfigBlockSize && reply.size() >= kConfigBlockSize;
    if (!complete || ConfigBlockFault(reply.first<kConfigBlockSize>()) != nullptr) {
        record_.statusText = status::kConfigReadFailed;
        Load();
        return;
    }
    const std::span<const uint8_t, kConfigBlockSize> block = reply.first<kConfigBlockSize>();

    DecodeBlockSettings(block, record_.settings);
    if (block[0] == '0') {
        form_.EnableAllControls();
    } else {
        for (int id = ctl::DeviceTypeFrame; id <= ctl::LastDeviceTypeRadio; ++id) {
            form_.Enable(id, true);
        }
    }
    for (const CodeBinding& code : kCodeBindings) {
        form_.SelectIndex(code.listId,
                          CodeIndexFromValue(block[static_cast<size_t>(code.blockByte)]));
    }
    // Bytes 14 and 15 are not decoded: keeping the block where an ESC 'S'
    // frame carries it returns them to the reader unchanged.
    std::copy(block.begin() + 1, block.end(), exchange_.commandFrame.bytes.begin() + 3);
    blockFromReader_ = true;

    record_.statusText = status::kConfigReadOk;
    Load();
}
