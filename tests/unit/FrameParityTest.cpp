#include <gtest/gtest.h>

#include <random>

#include "ProtocolFixture.h"
#include "protocol/CommandFrames.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The frames built from a configuration value are the frames the window's
// steps send for the same settings shown on its form, for every command.
class FrameParity : public ProtocolFixture {
  protected:
    // The window: Device_Type_Setup chosen and its configuration read (bytes
    // 14 and 15 of the reader's block), the command chosen, the settings and
    // code lists shown, then Send Cmd.
    Bytes WindowFrame(int32_t command, const Configuration& c) {
        record = WindowRecord{};
        ChooseCommand(kDeviceTypeSetup);
        ConfigBlock block{};
        block[0] = '0';
        block[kFirstReservedByte] = (*c.reserved)[0];
        block[kFirstReservedByte + 1] = (*c.reserved)[1];
        protocol.DecodeConfigReply(kExchangeOk, block, kConfigBlockSize);
        if (command != kDeviceTypeSetup) {
            ChooseCommand(command);
        }
        ShowSettings([&c](DeviceSettings& s) { s = c.settings; });
        for (size_t i = 0; i < kCodes.size(); ++i) {
            form.SelectIndex(kCodeBindings[i].listId, CodeIndexFromValue(c.codes[i]));
        }
        SendCmd(command);
        return Frame();
    }
};

Configuration RandomConfiguration(std::mt19937& rng) {
    auto any = [&rng](int from, int to) {
        return std::uniform_int_distribution<int>(from, to)(rng);
    };
    Configuration c;
    for (const SettingRow& row : kSettings) {
        c.settings.*row.field = any(0, ValueCountOf(row) - 1);
    }
    for (int& code : c.codes) {
        code = any(0, kLastCodeByte);
    }
    c.reserved =
        ReservedBytes{static_cast<uint8_t>(any(0, 255)), static_cast<uint8_t>(any(0, 255))};
    return c;
}

TEST_F(FrameParity, EveryCommandsFrameIsTheWindowsForTheSameSettings) {
    std::mt19937 rng(20261209);
    for (int round = 0; round < 200; ++round) {
        Configuration c = RandomConfiguration(rng);
        // Half the rounds CUSTOM, so that Device_Type_Setup sends the block.
        if (round % 2 == 0) {
            c.settings.deviceType = 0;
        }
        for (int32_t command = 0; command < kCommandCount; ++command) {
            const BuiltFrame built = BuildCommandFrame(command, c);
            ASSERT_EQ(built.lack, BuiltFrame::Lack::None) << kCommandSet[command].name;
            EXPECT_EQ(built.bytes, WindowFrame(command, c))
                << kCommandSet[command].name << " round " << round;
        }
    }
}

TEST_F(FrameParity, WhatAFrameLacksIsWhatStopsTheWindow) {
    const struct {
        const char* what;
        int32_t command;
        const char* missingKey;  // nullptr: the reported bytes are lacking
        void (*edit)(Configuration&);
    } cases[] = {
        {"check code unset", kCheckStandardsSetup, "checkCode",
         [](Configuration& c) { c.settings.checkCode = -1; }},
        {"MSR2 code type unset", kMsrCodeTypeSetup, "msr2CodeType",
         [](Configuration& c) { c.settings.msr2CodeType = -1; }},
        {"device type past the last", kDeviceTypeSetup, "deviceType",
         [](Configuration& c) { c.settings.deviceType = 8; }},
        {"a block group unset", kDeviceTypeSetup, "msrLfAtEnd",
         [](Configuration& c) { c.settings.msrLfAtEnd = -1; }},
        {"a block without a read", kDeviceTypeSetup, nullptr,
         [](Configuration& c) { c.reserved.reset(); }},
    };
    std::mt19937 rng(7);
    for (const auto& c : cases) {
        Configuration value = RandomConfiguration(rng);
        value.settings.deviceType = 0;
        c.edit(value);
        const BuiltFrame built = BuildCommandFrame(c.command, value);
        EXPECT_TRUE(built.bytes.empty()) << c.what;
        if (c.missingKey == nullptr) {
            EXPECT_EQ(built.lack, BuiltFrame::Lack::ReportedBlock) << c.what;
        } else {
            EXPECT_EQ(built.lack, BuiltFrame::Lack::Setting) << c.what;
            ASSERT_NE(built.missing, nullptr) << c.what;
            EXPECT_STREQ(built.missing->key, c.missingKey) << c.what;
        }
    }
    EXPECT_EQ(BuildCommandFrame(kNoCommand, Configuration{}).lack, BuiltFrame::Lack::NoCommand);
    EXPECT_EQ(BuildCommandFrame(kCommandCount, Configuration{}).lack, BuiltFrame::Lack::NoCommand);
}

TEST(FrameSettings, EachShortCommandNamesTheSettingsItsPayloadIsMadeOf) {
    const struct {
        int32_t command;
        std::vector<std::string> keys;
    } cases[] = {
        {kDeviceInitial, {}},
        {kDeviceConnect, {}},
        {kDeviceTypeSetup, {"deviceType"}},
        {kCheckStandardsSetup, {"checkCode"}},
        {kMsr1StandardsSetup, {"msr1Standard"}},
        {kMsr2StandardsSetup, {"msr2Standard"}},
        {kMsr3StandardsSetup, {"msr3Standard"}},
        {kMsrCodeTypeSetup, {"msr1CodeType", "msr2CodeType", "msr3CodeType"}},
        {kMsrReadLimit, {"track1Limit", "track2Limit", "track3Limit"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> keys;
        for (const SettingRow* row : FrameSettings(c.command)) {
            keys.emplace_back(row->key);
        }
        EXPECT_EQ(keys, c.keys) << kCommandSet[static_cast<size_t>(c.command)].name;
    }
}

}  // namespace
