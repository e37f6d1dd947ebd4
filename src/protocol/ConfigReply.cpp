#include "protocol/ConfigReply.h"

#include "protocol/CommandSet.h"

namespace {

constexpr uint8_t kAck = '0';
constexpr uint8_t kAckAlt = 'y';

uint8_t ReplyByte(std::span<const uint8_t> reply, size_t index) {
    return index < reply.size() ? reply[index] : 0;
}

}  // namespace

std::optional<Configuration> ConfigurationOfReply(ExchangeResult result,
                                                  std::span<const uint8_t> reply, int32_t length) {
    const bool complete =
        result == kExchangeOk && length >= kConfigBlockSize && reply.size() >= kConfigBlockSize;
    if (!complete || ConfigBlockFault(reply.first<kConfigBlockSize>()) != nullptr) {
        return std::nullopt;
    }
    return DecodeConfiguration(reply.first<kConfigBlockSize>());
}

bool IsAcknowledgement(std::span<const uint8_t> reply) {
    return ReplyByte(reply, 0) == kEsc &&
           (ReplyByte(reply, 1) == kAck || ReplyByte(reply, 1) == kAckAlt);
}

const char* ReplyStatusText(int32_t command, ExchangeResult result,
                            std::span<const uint8_t> reply) {
    if (result >= 1 && result < status::kResultCount) {
        return status::kExchangeResultTexts[static_cast<size_t>(result)];
    }
    if (result == kExchangeOk && !IsAcknowledgement(reply)) {
        return status::kCommandFailed;
    }
    return IsCommandType(command) ? kCommandSet[static_cast<size_t>(command)].successText
                                  : status::kNotSupported;
}
