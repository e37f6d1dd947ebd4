// Replies to the configuration read and to other commands, as the window
// hands them to the protocol.
//
// Input: byte 0 the exchange result (signed), byte 1 the command whose reply
// is reported ((byte % 11) - 1, so -1 to 9), byte 2 how far the length the
// channel gives differs from the reply bytes (signed), then the reply. The
// reply ends where the input ends, so a read past it is a sanitizer report.
//
// Properties: a reply that can't be a configuration (too short, a failed
// exchange, or a value no reader holds) changes nothing but the status line; a configuration is
// shown on the form (device type, code lists, enabled controls) and, sent back unedited, comes back
// as it was read except for the bits nothing decodes; a command is acknowledged exactly by ESC '0'
// or ESC 'y'; the status line always reads "Status: ...".
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "FuzzCheck.h"
#include "InMemoryForm.h"
#include "channels/common/FrameSlot.h"
#include "form/ConfigProtocol.h"
#include "form/ControlIds.h"
#include "form/ControlTable.h"
#include "form/SettingsExchange.h"
#include "protocol/CommandSet.h"
#include "protocol/ConfigBlock.h"

namespace {

constexpr int kCommandTypeChoices = kCommandCount + 2;  // -1 to 9

bool StartsWithStatus(const std::string& text) {
    return text.rfind(status::kPrefix, 0) == 0;
}

void CheckStatusShown(const InMemoryForm& form, const WindowRecord& record) {
    FUZZ_CHECK(StartsWithStatus(record.statusText));
    FUZZ_CHECK(form.Text(ctl::StatusLine) == record.statusText);
}

// The code list selection that shows a code byte: none for 0 and above 0x7F.
int ExpectedCodeIndex(uint8_t value) {
    return value >= 1 && value <= kCodeListEntries ? value - 1 : -1;
}

bool AllShowable(const DeviceSettings& settings) {
    return std::all_of(kSettings.begin(), kSettings.end(), [&settings](const SettingRow& row) {
        return IsChoice(row, settings.*row.field);
    });
}

// The block that a configuration comes back as when it is saved unedited:
// byte 0 names CUSTOM, the setting bytes keep the bits of their fields, the
// code bytes keep the codes a list can show, and the bytes nothing decodes
// go back as they came.
ConfigBlock ExpectedSentBack(std::span<const uint8_t, kConfigBlockSize> read) {
    std::array<uint8_t, kConfigBlockSize> fieldBits{};
    for (const SettingRow& row : kSettings) {
        if (!row.place.digit) {
            fieldBits[static_cast<size_t>(row.place.byte)] |=
                static_cast<uint8_t>(((1 << row.place.width) - 1) << row.place.shift);
        }
    }
    ConfigBlock block;
    std::copy(read.begin(), read.end(), block.begin());
    for (size_t i = 0; i < block.size(); ++i) {
        if (fieldBits[i] != 0) {
            block[i] = static_cast<uint8_t>(read[i] & fieldBits[i]);
        }
    }
    for (const CodeRow& code : kCodes) {
        const auto at = static_cast<size_t>(code.blockByte);
        block[at] = static_cast<uint8_t>(ExpectedCodeIndex(read[at]) + 1);
    }
    block[0] = '0';
    return block;
}

void CheckShown(const InMemoryForm& form, const WindowRecord& record, const FrameSlot& slot,
                std::span<const uint8_t, kConfigBlockSize> block) {
    const std::vector<int> typeRadios = RadioGroupMembers(form.FormOrder(), ctl::CustomRadio);
    const int typeIndex = block[0] - '0';
    for (size_t i = 0; i < typeRadios.size(); ++i) {
        FUZZ_CHECK(form.IsChecked(typeRadios[i]) == (static_cast<size_t>(typeIndex) == i));
    }
    if (block[0] == '0') {
        for (int id : AllSettingsControlIds()) {
            FUZZ_CHECK(form.IsEnabled(id));
        }
    }
    for (int id : DeviceTypeGroupIds()) {
        FUZZ_CHECK(form.IsEnabled(id));
    }
    for (size_t i = 0; i < kCodes.size(); ++i) {
        FUZZ_CHECK(form.SelectedIndex(kCodeBindings[i].listId) ==
                   ExpectedCodeIndex(block[static_cast<size_t>(kCodes[i].blockByte)]));
    }
    // Bytes 14 and 15 kept for an ESC 'S' frame, nothing pending.
    FUZZ_CHECK(record.configuration.reserved.has_value());
    FUZZ_CHECK((*record.configuration.reserved)[0] == block[kFirstReservedByte]);
    FUZZ_CHECK((*record.configuration.reserved)[1] == block[kFirstReservedByte + 1]);
    FUZZ_CHECK(!slot.Pending());
}

// Send Cmd for Device_Type_Setup right after the read, nothing edited.
void CheckSentBack(ConfigProtocol& protocol, const WindowRecord& record, FrameSlot& slot,
                   std::span<const uint8_t, kConfigBlockSize> block, bool showable) {
    protocol.SetCommandType(kDeviceTypeSetup);
    slot.Apply(protocol.BuildCommandFrame());
    FUZZ_CHECK(slot.Use() == ReplyUse::Status);
    const std::vector<uint8_t> frame = slot.Pending() ? slot.Frame() : std::vector<uint8_t>{};
    const uint8_t type = block[0];
    if (type == '0' && showable) {
        const ConfigBlock expected = ExpectedSentBack(block);
        FUZZ_CHECK(frame.size() == 2 + kConfigBlockSize);
        FUZZ_CHECK(frame[0] == kEsc && frame[1] == kConfigBlockLetter);
        FUZZ_CHECK(std::equal(expected.begin(), expected.end(), frame.begin() + 2));
    } else if (type >= '1' && type <= '7') {
        FUZZ_CHECK(frame.size() == 3);
        FUZZ_CHECK(frame[0] == kEsc && frame[1] == kDeviceTypeLetter);
        FUZZ_CHECK(frame[2] == type);
    } else {
        // CUSTOM with a value no control can show, or no device type at all.
        FUZZ_CHECK(frame.empty());
        FUZZ_CHECK(record.statusText == status::kSettingsIncomplete);
    }
}

// A block the reader could hold: a device type digit '0' to '7', each
// track's standard ISO to DIN (0 to 5) and code type ABA1 to IATA (0 to 2).
bool HoldableBlock(std::span<const uint8_t, kConfigBlockSize> block) {
    if (block[0] < '0' || block[0] > '7') {
        return false;
    }
    for (size_t track = 8; track <= 10; ++track) {
        if ((block[track] & 0x07) > 5 || ((block[track] >> 4) & 0x03) > 2) {
            return false;
        }
    }
    return true;
}

uint8_t ReplyByte(std::span<const uint8_t> reply, size_t index) {
    return index < reply.size() ? reply[index] : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const auto result = static_cast<ExchangeResult>(static_cast<int8_t>(in.Byte()));
    const int32_t reportedType = in.Byte() % kCommandTypeChoices - 1;
    const int32_t lengthSkew = static_cast<int8_t>(in.Byte());
    const std::span<const uint8_t> reply = in.Rest();
    const int32_t length = static_cast<int32_t>(reply.size()) + lengthSkew;

    InMemoryForm form;
    WindowRecord record;
    FrameSlot slot;
    ConfigProtocol protocol(form, record);

    // Device_Type_Setup chosen: the read request goes out, the reply comes in.
    protocol.SetCommandType(kDeviceTypeSetup);
    slot.Apply(protocol.PrepareCommandFrame());
    protocol.Load();
    FUZZ_CHECK(slot.Pending() && slot.Frame().size() == 2 && slot.Use() == ReplyUse::Configuration);
    slot.Take();

    const DeviceSettings before = record.configuration.settings;
    protocol.DecodeConfigReply(result, reply, length);
    CheckStatusShown(form, record);
    if (result == 0 && length >= kConfigBlockSize && reply.size() >= kConfigBlockSize &&
        HoldableBlock(reply.first<kConfigBlockSize>())) {
        const auto block = reply.first<kConfigBlockSize>();
        FUZZ_CHECK(record.statusText == status::kConfigReadOk);
        CheckShown(form, record, slot, block);
        CheckSentBack(protocol, record, slot, block, AllShowable(record.configuration.settings));
        CheckStatusShown(form, record);
    } else {
        FUZZ_CHECK(record.statusText == status::kConfigReadFailed);
        FUZZ_CHECK(record.configuration.settings == before);
        FUZZ_CHECK(!record.configuration.reserved.has_value());
        FUZZ_CHECK(!slot.Pending());
    }

    // The same bytes as the reply to a command.
    protocol.SetCommandType(reportedType);
    protocol.ReportExchangeResult(result, reply, length);
    CheckStatusShown(form, record);
    if (result == 0) {
        const bool acknowledged = ReplyByte(reply, 0) == kEsc &&
                                  (ReplyByte(reply, 1) == '0' || ReplyByte(reply, 1) == 'y');
        FUZZ_CHECK(acknowledged == (record.statusText != status::kCommandFailed));
    }
    return 0;
}
