#include <gtest/gtest.h>

#include "ProtocolFixture.h"
#include "protocol/ConfigBlock.h"

namespace {

using Bytes = std::vector<uint8_t>;
using S = DeviceSettings;

class CommandFrames : public ProtocolFixture {};

TEST_F(CommandFrames, ShortCommandsCarryTheirPayload) {
    const struct {
        const char* what;
        int32_t command;
        std::function<void(S&)> edit;
        Bytes frame;
    } cases[] = {
        {"initial, nothing set", kDeviceInitial, [](S&) {}, {0x1B, 0x55}},
        {"connect, nothing set", kDeviceConnect, [](S&) {}, {0x1B, 0x65}},
        {"Dorrin", kDeviceTypeSetup, [](S& s) { s.deviceType = 3; }, {0x1B, 0x41, 0x33}},
        {"Zorvane", kDeviceTypeSetup, [](S& s) { s.deviceType = 7; }, {0x1B, 0x41, 0x37}},
        {"E13B", kCheckStandardsSetup, [](S& s) { s.checkCode = 0; }, {0x1B, 0x42, 0x30}},
        {"CMC7", kCheckStandardsSetup, [](S& s) { s.checkCode = 1; }, {0x1B, 0x42, 0x31}},
        {"MSR1 DIN", kMsr1StandardsSetup, [](S& s) { s.msr1Standard = 5; }, {0x1B, 0x43, 0x35}},
        {"MSR2 ISO", kMsr2StandardsSetup, [](S& s) { s.msr2Standard = 0; }, {0x1B, 0x44, 0x30}},
        {"MSR3 B/FC", kMsr3StandardsSetup, [](S& s) { s.msr3Standard = 4; }, {0x1B, 0x45, 0x34}},
        {"code types ABA2 IATA ABA1 as a plain number",
         kMsrCodeTypeSetup,
         [](S& s) { s.msr1CodeType = 1, s.msr2CodeType = 2, s.msr3CodeType = 0; },
         {0x1B, 0x46, 0x09}},
        {"code types all IATA",
         kMsrCodeTypeSetup,
         [](S& s) { s.msr1CodeType = 2, s.msr2CodeType = 2, s.msr3CodeType = 2; },
         {0x1B, 0x46, 0x2A}},
        {"tracks 1 and 3",
         kMsrReadLimit,
         [](S& s) { s.track1Limit = 1, s.track3Limit = 1; },
         {0x1B, 0x47, 0x35}},
        {"no track", kMsrReadLimit, [](S&) {}, {0x1B, 0x47, 0x30}},
        {"all tracks",
         kMsrReadLimit,
         [](S& s) { s.track1Limit = 1, s.track2Limit = 1, s.track3Limit = 1; },
         {0x1B, 0x47, 0x37}},
    };
    for (const auto& c : cases) {
        record = WindowRecord{};
        ShowSettings(c.edit);
        SendCmd(c.command);
        EXPECT_EQ(Frame(), c.frame) << c.what;
        EXPECT_TRUE(FromSendCmd()) << c.what;
    }
}

// Each row changes one setting from "every radio group on its first button,
// every check box clear" and names the block byte that must change.
struct BlockBitCase {
    const char* what;
    std::function<void(S&)> edit;
    int byte;
    uint8_t value;
};

const std::vector<BlockBitCase>& BlockBitCases() {
    static const std::vector<BlockBitCase> cases = {
        {"baseline byte 1", [](S&) {}, 1, 0x00},
        {"CMC7", [](S& s) { s.checkCode = 1; }, 1, 0x80},
        {"cheque all data return", [](S& s) { s.checkErrorReturn = 1; }, 1, 0x40},
        {"cheque space handle", [](S& s) { s.checkSpaceHandle = 1; }, 1, 0x20},
        {"cheque STX", [](S& s) { s.checkStxAtHead = 1; }, 1, 0x10},
        {"cheque ESC", [](S& s) { s.checkEscAtHead = 1; }, 1, 0x08},
        {"cheque ETX", [](S& s) { s.checkEtxAtEnd = 1; }, 1, 0x04},
        {"cheque CR", [](S& s) { s.checkCrAtEnd = 1; }, 1, 0x02},
        {"cheque LF", [](S& s) { s.checkLfAtEnd = 1; }, 1, 0x01},
        {"CMC7, all data, LF", [](S& s) { s.checkCode = s.checkErrorReturn = s.checkLfAtEnd = 1; },
         1, 0xC1},
        {"MSR1 IBMC IATA", [](S& s) { s.msr1Standard = 2, s.msr1CodeType = 2; }, 8, 0x22},
        {"MSR1 DIN ABA2", [](S& s) { s.msr1Standard = 5, s.msr1CodeType = 1; }, 8, 0x15},
        {"MSR2 B/FC", [](S& s) { s.msr2Standard = 4; }, 9, 0x04},
        {"MSR2 IATA", [](S& s) { s.msr2CodeType = 2; }, 9, 0x20},
        {"MSR3 B/C ABA2", [](S& s) { s.msr3Standard = 3, s.msr3CodeType = 1; }, 10, 0x13},
        {"baseline byte 11", [](S&) {}, 11, 0x00},
        {"tracks 1 and 3", [](S& s) { s.track1Limit = s.track3Limit = 1; }, 11, 0x05},
        {"track 2", [](S& s) { s.track2Limit = 1; }, 11, 0x02},
        {"all codes off", [](S&) {}, 13, 0x9F},
        {"S1 on", [](S& s) { s.separator1On = 1; }, 13, 0x9E},
        {"S2 on", [](S& s) { s.separator2On = 1; }, 13, 0x9D},
        {"S3 on", [](S& s) { s.separator3On = 1; }, 13, 0x9B},
        {"S4 on", [](S& s) { s.separator4On = 1; }, 13, 0x97},
        {"S5 on", [](S& s) { s.separator5On = 1; }, 13, 0x8F},
        {"MSR error code on", [](S& s) { s.msrErrorCodeOn = 1; }, 13, 0x1F},
        {"all codes on",
         [](S& s) {
             s.separator1On = s.separator2On = s.separator3On = s.separator4On = 1;
             s.separator5On = s.msrErrorCodeOn = 1;
         },
         13, 0x00},
        {"baseline byte 16", [](S&) {}, 16, 0x00},
        {"MSR all data return", [](S& s) { s.msrErrorReturn = 1; }, 16, 0x20},
        {"MSR STX", [](S& s) { s.msrStxAtHead = 1; }, 16, 0x10},
        {"MSR ESC", [](S& s) { s.msrEscAtHead = 1; }, 16, 0x08},
        {"MSR ETX", [](S& s) { s.msrEtxAtEnd = 1; }, 16, 0x04},
        {"MSR CR", [](S& s) { s.msrCrAtEnd = 1; }, 16, 0x02},
        {"MSR LF", [](S& s) { s.msrLfAtEnd = 1; }, 16, 0x01},
        {"baseline byte 17", [](S&) {}, 17, 0x00},
        {"MSR1 start", [](S& s) { s.msr1StartCodeOn = 1; }, 17, 0x01},
        {"MSR1 end", [](S& s) { s.msr1EndCodeOn = 1; }, 17, 0x02},
        {"MSR2 start", [](S& s) { s.msr2StartCodeOn = 1; }, 17, 0x04},
        {"MSR2 end", [](S& s) { s.msr2EndCodeOn = 1; }, 17, 0x08},
        {"MSR3 start", [](S& s) { s.msr3StartCodeOn = 1; }, 17, 0x10},
        {"MSR3 end", [](S& s) { s.msr3EndCodeOn = 1; }, 17, 0x20},
    };
    return cases;
}

TEST_F(CommandFrames, CustomBlockPutsEverySettingAtItsBits) {
    for (const BlockBitCase& c : BlockBitCases()) {
        record = WindowRecord{};
        ReadBack();
        ShowSettings([&c](S& s) {
            FirstButtons(s);
            c.edit(s);
        });
        SendCmd(kDeviceTypeSetup);
        const Bytes frame = Frame();
        ASSERT_EQ(frame.size(), 26u) << c.what;
        EXPECT_EQ(frame[0], 0x1B);
        EXPECT_EQ(frame[1], 0x53);
        EXPECT_EQ(frame[2], 0x30) << c.what;
        EXPECT_EQ(frame[static_cast<size_t>(2 + c.byte)], c.value) << c.what;
    }
}

TEST_F(CommandFrames, ConfigReplyReadsEverySettingFromItsBits) {
    for (const BlockBitCase& c : BlockBitCases()) {
        S expected;
        FirstButtons(expected);
        c.edit(expected);
        ConfigBlock block{};
        block[0] = '0';
        block[13] = 0x9F;  // every code off, as the baseline has it
        block[static_cast<size_t>(c.byte)] = c.value;

        record = WindowRecord{};
        protocol.DecodeConfigReply(kExchangeOk, block, kConfigBlockSize);
        EXPECT_EQ(record.configuration.settings, expected) << c.what;
    }
}

TEST_F(CommandFrames, CodeListSelectionsTravelAsIndexPlusOne) {
    const struct {
        int index;
        uint8_t byte;
    } cases[] = {{-1, 0x00}, {0, 0x01}, {0x2B, 0x2C}, {126, 0x7F}};
    for (const auto& c : cases) {
        record = WindowRecord{};
        ReadBack();
        ShowSettings(FirstButtons);
        for (const CodeBinding& code : kCodeBindings) {
            form.SelectIndex(code.listId, c.index);
        }
        SendCmd(kDeviceTypeSetup);
        const Bytes frame = Frame();
        ASSERT_EQ(frame.size(), 26u);
        for (size_t i = 0; i < kCodes.size(); ++i) {
            EXPECT_EQ(frame[static_cast<size_t>(2 + kCodes[i].blockByte)], c.byte)
                << "list " << kCodeBindings[i].listId << " index " << c.index;
        }
    }
}

TEST_F(CommandFrames, UnsetOrOutOfRangeSettingsLeaveNoFramePending) {
    const struct {
        const char* what;
        int32_t command;
        std::function<void(S&)> edit;
    } cases[] = {
        {"check code unset", kCheckStandardsSetup, [](S&) {}},
        {"MSR1 standard unset", kMsr1StandardsSetup, [](S&) {}},
        {"MSR3 standard past DIN", kMsr3StandardsSetup, [](S& s) { s.msr3Standard = 6; }},
        {"one code type unset", kMsrCodeTypeSetup,
         [](S& s) { s.msr1CodeType = 0, s.msr3CodeType = 1; }},
        {"device type unset", kDeviceTypeSetup, [](S& s) { s.deviceType = -1; }},
        {"device type past the last", kDeviceTypeSetup, [](S& s) { s.deviceType = 8; }},
        {"block with one radio group unset", kDeviceTypeSetup,
         [](S& s) { FirstButtons(s), s.msrLfAtEnd = -1; }},
        {"block with code type 3", kDeviceTypeSetup,
         [](S& s) { FirstButtons(s), s.msr2CodeType = 3; }},
        {"block as the form starts", kDeviceTypeSetup, [](S&) {}},
    };
    for (const auto& c : cases) {
        record = WindowRecord{};
        // The form shows an out-of-range value as a group with no button
        // checked, so the save before building reads it back as -1.
        ShowSettings(c.edit);
        ChooseCommand(kDeviceTypeSetup);  // leaves the read request pending
        SendCmd(c.command);
        EXPECT_FALSE(slot.Pending()) << c.what;
        EXPECT_EQ(ShownStatus(), "Status: Please Select All Settings First!") << c.what;
    }
}

TEST_F(CommandFrames, SettingsAFrameDoesNotCarryDoNotBlockIt) {
    // Everything unset but what each command carries.
    SendCmd(kDeviceInitial);
    EXPECT_EQ(Frame(), (Bytes{0x1B, 0x55}));
    ShowSettings([](S& s) { s.msr2Standard = 1; });
    SendCmd(kMsr2StandardsSetup);
    EXPECT_EQ(Frame(), (Bytes{0x1B, 0x44, 0x31}));
    ShowSettings([](S& s) { s.deviceType = 1; });
    SendCmd(kDeviceTypeSetup);
    EXPECT_EQ(Frame(), (Bytes{0x1B, 0x41, 0x31}));
}

TEST_F(CommandFrames, NoCommandChosenBuildsNothingButClearsTheReply) {
    gathered.bytes[0] = 0x1B;
    gathered.length = 2;
    SendCmd(kNoCommand);
    EXPECT_FALSE(slot.Pending());
    EXPECT_EQ(gathered.bytes[0], 0);
    EXPECT_EQ(gathered.length, 0);
}

TEST_F(CommandFrames, ChoosingACommandQueuesTheReadRequestOnlyForDeviceTypeSetup) {
    for (int32_t type = kNoCommand; type < kCommandCount; ++type) {
        // A frame still pending from an earlier Send Cmd is dropped whole.
        ShowSettings([](S& s) { s.checkCode = 1; });
        SendCmd(kCheckStandardsSetup);
        gathered.bytes[0] = 0x1B;
        record.statusText = "Status: before";

        ChooseCommand(type);
        EXPECT_FALSE(FromSendCmd());
        EXPECT_EQ(gathered.bytes[0], 0);
        if (type == kDeviceTypeSetup) {
            EXPECT_EQ(Frame(), (Bytes{0x1B, 0x52}));
        } else {
            EXPECT_FALSE(slot.Pending()) << type;
            EXPECT_TRUE(slot.Frame().empty()) << type;
        }
        const std::string expected = type == kNoCommand
                                         ? "Status: before"
                                         : kCommandSet[static_cast<size_t>(type)].selectionText;
        EXPECT_EQ(record.statusText, expected);
    }
    ChooseCommand(kDeviceInitial);
    EXPECT_EQ(record.statusText, "Status: Recover The Devive To Initial State");
}

}  // namespace
