#include <gtest/gtest.h>

#include <random>

#include "ProtocolFixture.h"
#include "form/ControlIds.h"
#include "form/ControlTable.h"
#include "protocol/ConfigBlock.h"

namespace {

using Bytes = std::vector<uint8_t>;

class ReplyDecoding : public ProtocolFixture {
  protected:
    void Decode(const Bytes& reply, int32_t result = kExchangeOk) {
        protocol.DecodeConfigReply(static_cast<ExchangeResult>(result), reply,
                                   static_cast<int32_t>(reply.size()));
    }

    static Bytes CustomBlock() {
        Bytes block(kConfigBlockSize, 0);
        block[0] = '0';
        return block;
    }

    bool OnlyDeviceTypeGroupEnabled() const {
        for (int id : AllSettingsControlIds()) {
            const bool inGroup = id >= ctl::DeviceTypeFrame && id <= ctl::LastDeviceTypeRadio;
            if (form.IsEnabled(id) != inGroup) {
                return false;
            }
        }
        return true;
    }
};

TEST_F(ReplyDecoding, ExchangeResultsAndRepliesBecomeStatusTexts) {
    const struct {
        int32_t command;
        int32_t result;
        Bytes reply;
        const char* text;
    } cases[] = {
        {kDeviceInitial, 0, {0x1B, 0x30}, "Status: Devive Initial Ok!"},
        {kDeviceInitial, 0, {0x1B, 0x79}, "Status: Devive Initial Ok!"},
        {kDeviceConnect, 0, {0x1B, 0x30, 0xFF}, "Status: Connect To Device!"},
        {kDeviceTypeSetup, 0, {0x1B, 0x79}, "Status: Device Tpye Setup Ok!"},
        {kCheckStandardsSetup, 0, {0x1B, 0x30}, "Status: Check Standards Setup Ok!"},
        {kMsr1StandardsSetup, 0, {0x1B, 0x30}, "Status: MSR1 Standards Setup Ok!"},
        {kMsr2StandardsSetup, 0, {0x1B, 0x30}, "Status: MSR2 Standards Setup Ok!"},
        {kMsr3StandardsSetup, 0, {0x1B, 0x30}, "Status: MSR3 Standards Setup Ok!"},
        {kMsrCodeTypeSetup, 0, {0x1B, 0x30}, "Status: MSR Code Type Setup Ok!"},
        {kMsrReadLimit, 0, {0x1B, 0x30}, "Status: MSR Read Limit Setup Ok!"},
        {kDeviceInitial, 0, {0x1B, 0x31}, "Status: Command Execute fail!!"},
        {kDeviceInitial, 0, {0x06, 0x30}, "Status: Command Execute fail!!"},
        {kDeviceInitial, 0, {0x00, 0x00}, "Status: Command Execute fail!!"},
        {kDeviceInitial, 0, {0x1B}, "Status: Command Execute fail!!"},
        {kDeviceInitial, 0, {}, "Status: Command Execute fail!!"},
        {kMsrReadLimit, 1, {0x1B, 0x30}, "Status: Data Translate Type Error!"},
        {kMsrReadLimit, 2, {0x1B, 0x30}, "Status: Data Length Type Error!"},
        {kMsrReadLimit, 3, {}, "Status: Find No Device!"},
        {kMsrReadLimit, 4, {}, "Status: Send Data Fail!"},
        {kMsrReadLimit, 5, {}, "Status: Device Communicate Terminate!"},
        {kMsrReadLimit, 6, {}, "Status: Device Communicate Terminate!"},
        {kMsrReadLimit, 7, {}, "Status: Serial Not Opened!"},
        {kMsrReadLimit, 8, {}, "Status: MSR Read Limit Setup Ok!"},
        {kMsrReadLimit, -1, {0x00}, "Status: MSR Read Limit Setup Ok!"},
        {kNoCommand, 0, {0x1B, 0x30}, "Status: Not Support Command"},
        {kNoCommand, 0, {0x1B, 0x31}, "Status: Command Execute fail!!"},
        {9, 9, {}, "Status: Not Support Command"},
    };
    for (const auto& c : cases) {
        protocol.SetCommandType(c.command);
        protocol.ReportExchangeResult(static_cast<ExchangeResult>(c.result), c.reply,
                                      static_cast<int32_t>(c.reply.size()));
        EXPECT_EQ(ShownStatus(), c.text) << "command " << c.command << " result " << c.result;
    }
}

TEST_F(ReplyDecoding, ShortOrFailedConfigRepliesChangeNothingButTheStatus) {
    const struct {
        size_t length;
        int32_t result;
    } cases[] = {{0, 0}, {2, 0}, {23, 0}, {24, 5}, {24, 3}, {63, 1}};
    for (const auto& c : cases) {
        record = WindowRecord{};
        protocol.Load();
        Bytes reply(c.length, '0');
        Decode(reply, c.result);
        EXPECT_EQ(ShownStatus(), "Status: Read Device Config Fail!") << c.length;
        EXPECT_EQ(record.configuration.settings, DeviceSettings{});
        EXPECT_FALSE(record.configuration.reserved);
        EXPECT_FALSE(form.IsEnabled(ctl::CheckE13bRadio));
    }
}

TEST_F(ReplyDecoding, ConfigRepliesOfTwentyFourBytesOrMoreAreDecoded) {
    for (size_t length : {24u, 25u, 63u, 1024u}) {
        record = WindowRecord{};
        Bytes reply(length, 0xEE);  // bytes past the block must not matter
        std::copy_n(CustomBlock().begin(), kConfigBlockSize, reply.begin());
        reply[8] = 0x22;
        Decode(reply);
        EXPECT_EQ(ShownStatus(), "Status: Read Device Config Ok,Please Preserve After Change!");
        EXPECT_EQ(record.configuration.settings.msr1Standard, 2) << length;
        EXPECT_EQ(record.configuration.settings.msr1CodeType, 2) << length;
    }
    // A reply length beyond what the buffer holds is not read past its end.
    const Bytes shortBuffer(10, '0');
    protocol.DecodeConfigReply(kExchangeOk, shortBuffer, 24);
    EXPECT_EQ(ShownStatus(), "Status: Read Device Config Fail!");
}

TEST_F(ReplyDecoding, ReportedDeviceTypeDecidesWhatIsEnabled) {
    Bytes block = CustomBlock();
    Decode(block);
    for (int id : AllSettingsControlIds()) {
        EXPECT_TRUE(form.IsEnabled(id)) << id;
    }
    EXPECT_TRUE(form.IsChecked(ctl::CustomRadio));

    const struct {
        uint8_t first;
        int checkedId;  // 0: no device type button
    } cases[] = {{'3', ctl::DorrinRadio}, {'1', ctl::MicrReaderRadio}, {'7', ctl::ZorvaneRadio}};
    for (const auto& c : cases) {
        InMemoryForm fresh;
        ConfigProtocol p(fresh, record);
        block[0] = c.first;
        p.DecodeConfigReply(kExchangeOk, block, kConfigBlockSize);
        for (int id = ctl::CustomRadio; id <= ctl::LastDeviceTypeRadio; ++id) {
            EXPECT_EQ(fresh.IsChecked(id), id == c.checkedId) << int{c.first} << " " << id;
        }
        for (int id : AllSettingsControlIds()) {
            EXPECT_EQ(fresh.IsEnabled(id),
                      id >= ctl::DeviceTypeFrame && id <= ctl::LastDeviceTypeRadio)
                << int{c.first} << " " << id;
        }
    }
}

TEST_F(ReplyDecoding, CodeBytesSelectIndexMinusOneOrNothing) {
    const struct {
        uint8_t byte;
        int index;
    } cases[] = {{0x00, -1}, {0x01, 0}, {0x2C, 0x2B}, {0x7F, 126}, {0x80, -1}, {0xFF, -1}};
    for (const auto& c : cases) {
        for (const CodeBinding& code : kCodeBindings) {
            form.SelectIndex(code.listId, 5);
        }
        Bytes block = CustomBlock();
        for (const CodeRow& code : kCodes) {
            block[static_cast<size_t>(code.blockByte)] = c.byte;
        }
        Decode(block);
        for (const CodeBinding& code : kCodeBindings) {
            EXPECT_EQ(form.SelectedIndex(code.listId), c.index)
                << "list " << code.listId << " byte " << int{c.byte};
        }
    }
}

TEST_F(ReplyDecoding, UnreadBytesFourteenAndFifteenGoBackUnchanged) {
    Bytes block = CustomBlock();
    for (int i = 8; i <= 10; ++i) {
        block[static_cast<size_t>(i)] = 0x00;  // ISO, ABA1: in range
    }
    block[14] = 0xAB;
    block[15] = 0xCD;
    ChooseCommand(kDeviceTypeSetup);
    Decode(block);
    // Every group on its first button so that the block may be sent.
    ShowSettings([](DeviceSettings& s) {
        const int32_t deviceType = s.deviceType;
        FirstButtons(s);
        s.deviceType = deviceType;
    });
    SendCmd(kDeviceTypeSetup);
    const Bytes frame = Frame();
    ASSERT_EQ(frame.size(), 26u);
    EXPECT_EQ(frame[16], 0xAB);
    EXPECT_EQ(frame[17], 0xCD);

    // After a failed read the block is not sent: it would carry bytes 14
    // and 15 as zeros, and the reader's own would be lost.
    ChooseCommand(kDeviceTypeSetup);
    Decode(Bytes(23, 0x30));
    SendCmd(kDeviceTypeSetup);
    EXPECT_TRUE(Frame().empty());
    EXPECT_EQ(ShownStatus(), "Status: Read Device Config Fail!");
}

// A reply of the right length is believed only when the reader could hold
// it: an acknowledgement, another program's reply or garbage is refused as
// a read that failed, and nothing of it is kept or sent back.
TEST_F(ReplyDecoding, RepliesNoReaderCouldHoldAreRefused) {
    const struct {
        size_t byte;
        uint8_t value;
        const char* what;
    } cases[] = {
        {0, '8', "device type past the last"},
        {0, '/', "device type below '0'"},
        {0, 'A', "device type a letter"},
        {0, 0x00, "device type zero"},
        {0, 0x1B, "an acknowledgement, ESC '0'"},
        {8, 0x06, "MSR1 standard 6"},
        {9, 0x07, "MSR2 standard 7"},
        {10, 0x0E, "MSR3 standard 6, other bits set"},
        {8, 0x30, "MSR1 code type 3"},
        {9, 0x30, "MSR2 code type 3"},
        {10, 0x35, "MSR3 code type 3"},
    };
    for (const auto& c : cases) {
        InMemoryForm fresh;
        WindowRecord before;
        FrameSlot state;
        ConfigProtocol p(fresh, before);
        p.SetCommandType(kDeviceTypeSetup);
        state.Apply(p.PrepareCommandFrame());
        Bytes block = CustomBlock();
        block[14] = 0x12;
        block[c.byte] = c.value;
        if (c.value == 0x1B) {
            block[1] = '0';
        }
        p.DecodeConfigReply(kExchangeOk, block, kConfigBlockSize);
        EXPECT_EQ(before.statusText, "Status: Read Device Config Fail!") << c.what;
        EXPECT_EQ(before.configuration.settings, DeviceSettings{}) << c.what;
        EXPECT_FALSE(before.configuration.reserved) << c.what;
        for (int id : AllSettingsControlIds()) {
            EXPECT_FALSE(fresh.IsEnabled(id)) << c.what << " " << id;
        }
        // Not even with every setting given does the block go out.
        FirstButtons(before.configuration.settings);
        p.Load();
        state.Apply(p.BuildCommandFrame());
        EXPECT_FALSE(state.Pending()) << c.what;
    }
}

// Any in-range configuration read back and sent again unedited with CUSTOM
// returns bytes 1 to 23 unchanged, but for the bits the decode ignores.
TEST_F(ReplyDecoding, ReadAndResendRoundTripsTheBlock) {
    std::mt19937 rng(20261208);
    auto any = [&rng](int from, int to) {
        return static_cast<uint8_t>(std::uniform_int_distribution<int>(from, to)(rng));
    };
    const std::array<uint8_t, kConfigBlockSize> ignoredBits = {
        0, 0, 0, 0, 0, 0, 0, 0, 0xC8, 0xC8, 0xC8, 0xF8, 0, 0x60, 0, 0, 0xC0, 0xC0,
    };
    for (int round = 0; round < 500; ++round) {
        Bytes block(kConfigBlockSize);
        block[0] = '0';
        block[1] = any(0, 255);
        for (int i : {2, 3, 4, 5, 6, 7, 12, 18, 19, 20, 21, 22, 23}) {
            block[static_cast<size_t>(i)] = any(0, 0x7F);
        }
        for (int i : {8, 9, 10}) {
            block[static_cast<size_t>(i)] =
                static_cast<uint8_t>(any(0, 5) | any(0, 2) << 4 | (any(0, 255) & 0xC8));
        }
        for (int i : {11, 13, 14, 15, 16, 17}) {
            block[static_cast<size_t>(i)] = any(0, 255);
        }

        record = WindowRecord{};
        ChooseCommand(kDeviceTypeSetup);
        Decode(block);
        slot.Apply(protocol.BuildCommandFrame());

        const Bytes frame = Frame();
        ASSERT_EQ(frame.size(), 26u) << "round " << round;
        EXPECT_EQ(frame[2], '0');
        for (size_t i = 1; i < kConfigBlockSize; ++i) {
            EXPECT_EQ(frame[2 + i], block[i] & ~ignoredBits[i])
                << "round " << round << " byte " << i;
        }
    }
}

}  // namespace
