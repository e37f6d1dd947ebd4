#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "protocol/Configuration.h"
#include "protocol/StatusTexts.h"

// The configuration a reply to ESC 'R' holds: its first 24 bytes, when the
// exchange succeeded, they all came, and they are a configuration the reader
// can hold (ConfigBlockFault). The length is the channel's word; the span is
// what may be read.
std::optional<Configuration> ConfigurationOfReply(ExchangeResult result,
                                                  std::span<const uint8_t> reply, int32_t length);

// Whether a reply is the reader's acknowledgement: ESC '0' or ESC 'y'.
bool IsAcknowledgement(std::span<const uint8_t> reply);

// The status line after any other reply: the command's success text when
// the reader acknowledged it, else the refusal or the channel's failure.
const char* ReplyStatusText(int32_t command, ExchangeResult result, std::span<const uint8_t> reply);
