#pragma once

#include <cstdint>
#include <span>

#include "protocol/DeviceSettings.h"
#include "protocol/ExchangeState.h"
#include "protocol/FormOperations.h"
#include "protocol/SettingsExchange.h"
#include "protocol/StatusTexts.h"

// The reader's configuration protocol as the window runs it: building the
// command frames from the form, and turning replies back into settings and
// status texts. Works on the window's record, the program's exchange state
// and the form, all on the window's thread.
class ConfigProtocol {
  public:
    ConfigProtocol(FormOperations& form, WindowRecord& record, ExchangeState& exchange);

    void Save() { controls_.Save(record_); }
    void Load() { controls_.Load(record_); }

    // Send Cmd: saves the form and leaves the current command's frame
    // pending. A frame that would carry an unset or out-of-range setting is
    // not built: no frame is left pending and the status line says so. Nor
    // is the configuration block without a configuration read that was
    // believed, whose bytes 14 and 15 it would otherwise send as zeros.
    void BuildCommandFrame();

    // The frame side of a change of command type: clears both buffers, shows
    // the command's text (at the next load) and, for Device_Type_Setup,
    // queues the configuration read request.
    void PrepareCommandFrame();

    // A configuration reply: spreads the block over the settings and code
    // lists, enables the controls the reported device type allows, and
    // keeps the block in the frame so that bytes 14 and 15 go back unchanged.
    void DecodeConfigReply(ExchangeResult result, std::span<const uint8_t> reply, int32_t length);

    // Any other reply: the command's success text, a refusal or the
    // channel failure, shown on the status line.
    void ReportExchangeResult(ExchangeResult result, std::span<const uint8_t> reply,
                              int32_t length);

    // Whether every setting that the command's frame carries holds a value
    // its control can show.
    bool SettingsCompleteFor(int32_t commandType) const;

  private:
    void BuildConfigBlockFrame();
    void BuildShortFrame(int32_t commandType);

    FormOperations& form_;
    WindowRecord& record_;
    // The frame holds a block the reader reported since the last change of
    // command type: only then may ESC 'S' carry its bytes 14 and 15 back.
    bool blockFromReader_ = false;
    ExchangeState& exchange_;
    SettingsExchange controls_;
};
