#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "InMemoryForm.h"
#include "protocol/CommandSet.h"
#include "protocol/ConfigProtocol.h"
#include "protocol/ControlIds.h"

// A window's worth of protocol state over an in-memory form.
class ProtocolFixture : public ::testing::Test {
  protected:
    // Shows the given settings in the form, as if the user had set them.
    void ShowSettings(const std::function<void(DeviceSettings&)>& edit) {
        edit(record.settings);
        protocol.Load();
    }

    // Every radio group on its first button, every check box clear.
    static void FirstButtons(DeviceSettings& s) {
        for (const SettingBinding& b : kSettingBindings) {
            s.*b.field = 0;
        }
    }

    std::vector<uint8_t> Frame() const {
        const CommandFrame& f = exchange.commandFrame;
        return {f.bytes.begin(), f.bytes.begin() + f.length};
    }

    void SendCmd(int32_t commandType) {
        exchange.commandType = commandType;
        protocol.BuildCommandFrame();
    }

    // A configuration read answered with a CUSTOM block of zeros: the block
    // frame may be built from then on.
    void ReadBack() {
        exchange.commandType = kDeviceTypeSetup;
        protocol.PrepareCommandFrame();
        std::array<uint8_t, 24> block{};
        block[0] = '0';
        protocol.DecodeConfigReply(kExchangeOk, block, static_cast<int32_t>(block.size()));
    }

    std::string ShownStatus() const { return form.Text(ctl::StatusLine); }

    InMemoryForm form;
    WindowRecord record;
    ExchangeState exchange;
    ConfigProtocol protocol{form, record, exchange};
};
