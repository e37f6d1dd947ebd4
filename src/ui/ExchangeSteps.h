#pragma once

#include "channels/common/ExchangeListener.h"
#include "form/ConfigProtocol.h"
#include "ui/CheckReadTest.h"
#include "ui/ReadDataView.h"

class QtForm;
class ReaderConnection;

// What the window does when one channel's exchange tells it something:
// the saves and loads of its record, the focus, the read test and the
// status line, in the window's order.
class ExchangeSteps : public ExchangeListener {
  public:
    enum class Channel { Usb, Serial };

    struct Window {
        QtForm& form;
        ConfigProtocol& protocol;
        const WindowRecord& record;
        CheckReadTest& readTest;
        ReadDataView& readData;
        // Not used before the connection exists.
        const ReaderConnection& connection;
    };

    ExchangeSteps(Channel channel, const Window& window) : channel_(channel), window_(window) {}

    void Polled() override { window_.protocol.Save(); }
    void BurstBegan() override;
    void ReadGrew(const std::string& text) override { window_.readData.Show(text); }
    void ReadCompleted(const std::string& text) override;
    void ReplyCompleted(ReplyUse use, ExchangeResult result, std::span<const uint8_t> reply,
                        int32_t length) override;
    void ByteReceived() override;
    void TransferBegan() override;
    void TransferEnded() override;

  private:
    Channel channel_;
    Window window_;
    // What a USB transfer found enabled, and on which connection.
    struct Locks {
        bool sendCmd;
        bool commandList;
        int generation;
    } locks_{};
};
