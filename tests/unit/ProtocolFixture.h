#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "InMemoryForm.h"
#include "channels/common/ExchangeBuffers.h"
#include "channels/common/FrameSlot.h"
#include "form/ConfigProtocol.h"
#include "form/ControlIds.h"
#include "protocol/CommandSet.h"

// A window's worth of protocol state over an in-memory form, with the frame
// slot the exchanges share and a reply buffer that forgets on every order,
// as an exchange's does.
class ProtocolFixture : public ::testing::Test {
  protected:
    // Shows the given settings in the form, as if the user had set them.
    void ShowSettings(const std::function<void(DeviceSettings&)>& edit) {
        edit(record.configuration.settings);
        protocol.Load();
    }

    // Every radio group on its first button, every check box clear.
    static void FirstButtons(DeviceSettings& s) {
        for (const SettingRow& row : kSettings) {
            s.*row.field = 0;
        }
    }

    std::vector<uint8_t> Frame() const {
        return slot.Pending() ? slot.Frame() : std::vector<uint8_t>{};
    }
    bool FromSendCmd() const { return slot.Use() == ReplyUse::Status; }

    void SendCmd(int32_t commandType) {
        protocol.SetCommandType(commandType);
        slot.Apply(protocol.BuildCommandFrame());
    }

    void ChooseCommand(int32_t commandType) {
        protocol.SetCommandType(commandType);
        slot.Apply(protocol.PrepareCommandFrame());
    }

    // A configuration read answered with a CUSTOM block of zeros: the block
    // frame may be built from then on.
    void ReadBack() {
        ChooseCommand(kDeviceTypeSetup);
        std::array<uint8_t, 24> block{};
        block[0] = '0';
        protocol.DecodeConfigReply(kExchangeOk, block, static_cast<int32_t>(block.size()));
    }

    std::string ShownStatus() const { return form.Text(ctl::StatusLine); }

    InMemoryForm form;
    WindowRecord record;
    FrameSlot slot;
    ExchangeBuffer gathered;
    ConfigProtocol protocol{form, record};

  private:
    const bool forgets_ = [this] {
        slot.OnOrder([this] { gathered.Clear(); });
        return true;
    }();
};
