#pragma once

#include <cstdint>
#include <span>

#include "form/FormBindings.h"
#include "form/FormOperations.h"
#include "form/SettingsExchange.h"
#include "protocol/FrameOrder.h"
#include "protocol/StatusTexts.h"

// The window's steps around the reader's configuration: which frame goes
// out when a command is chosen or sent, and what a reply does to the form.
// Frames are built from the configuration the controls were last saved
// into; the orders go to the exchanges, which own their buffers. Works on
// the window's record and its form, on the window's thread.
class ConfigProtocol {
  public:
    ConfigProtocol(FormOperations& form, WindowRecord& record);

    void Save() { controls_.Save(record_); }
    void Load() { controls_.Load(record_); }

    // Index 0 to 8 of the chosen command, kNoCommand while none is chosen.
    int32_t CommandType() const { return commandType_; }
    void SetCommandType(int32_t type) { commandType_ = type; }

    // Send Cmd: saves the form and sends the current command's frame. A
    // frame that would carry an unset or out-of-range setting is not built:
    // the pending frame is dropped and the status line says so. Nor is the
    // configuration block without a configuration read that was believed,
    // whose bytes 14 and 15 it would otherwise send as zeros.
    FrameOrder BuildCommandFrame();

    // The frame side of a change of command type: drops the pending frame,
    // forgets the reported bytes 14 and 15, shows the command's text (at the
    // next load) and, for Device_Type_Setup, sends the configuration read
    // request.
    FrameOrder PrepareCommandFrame();

    // A configuration reply: spreads the block over the settings and code
    // lists, enables the controls the reported device type allows, and
    // keeps bytes 14 and 15 so that they go back unchanged.
    void DecodeConfigReply(ExchangeResult result, std::span<const uint8_t> reply, int32_t length);

    // Any other reply: the command's success text, a refusal or the
    // channel failure, shown on the status line.
    void ReportExchangeResult(ExchangeResult result, std::span<const uint8_t> reply,
                              int32_t length);

  private:
    FormOperations& form_;
    WindowRecord& record_;
    SettingsExchange controls_;
    int32_t commandType_ = -1;
};
