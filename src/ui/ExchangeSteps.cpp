#include "ui/ExchangeSteps.h"

#include "channels/presence/ReaderConnection.h"
#include "form/ControlIds.h"
#include "ui/QtForm.h"

void ExchangeSteps::BurstBegan() {
    window_.form.FocusComparisonBox();
}

void ExchangeSteps::ReadCompleted(const std::string& text) {
    window_.readData.Stop();
    window_.readTest.CompleteCheckRead(text, window_.record.comparison != 0);
    window_.protocol.Load();
}

void ExchangeSteps::ReplyCompleted(ReplyUse use, ExchangeResult result,
                                   std::span<const uint8_t> reply, int32_t length) {
    if (use == ReplyUse::Configuration) {
        window_.protocol.DecodeConfigReply(result, reply, length);
    } else {
        window_.protocol.ReportExchangeResult(result, reply, length);
    }
    if (channel_ == Channel::Serial) {
        window_.protocol.Load();
    }
}

void ExchangeSteps::ByteReceived() {
    // The load shows the window's record on its controls; a click made since
    // the last poll is taken into the record first, or the load would undo it.
    window_.protocol.Save();
    window_.protocol.Load();
}

void ExchangeSteps::TransferBegan() {
    QtForm& form = window_.form;
    locks_ = {form.IsEnabled(ctl::SendCmd), form.IsEnabled(ctl::CommandTypeList),
              window_.connection.Generation()};
    form.Enable(ctl::SendCmd, false);
    form.Enable(ctl::CommandTypeList, false);
}

void ExchangeSteps::TransferEnded() {
    // Send Cmd is the transfer's alone to restore; the Command Type list
    // follows the connection when that changed during the wait.
    window_.form.Enable(ctl::SendCmd, locks_.sendCmd);
    if (locks_.generation == window_.connection.Generation()) {
        window_.form.Enable(ctl::CommandTypeList, locks_.commandList);
    }
}
