#pragma once

#include <functional>

#include "channels/presence/ReaderConnection.h"
#include "form/ConfigProtocol.h"

class QWidget;
class QtForm;

// What the window shows of the connection: the controls each state
// enables, the status line, and the box when arrivals cannot be followed.
class ConnectionSteps : public ReaderConnection::Listener {
  public:
    ConnectionSteps(QWidget& window, QtForm& form, WindowRecord& record, ConfigProtocol& protocol,
                    std::function<void()> closed)
        : window_(window),
          form_(form),
          record_(record),
          protocol_(protocol),
          closed_(std::move(closed)) {}

    void StateChanged(ReaderConnection::State state) override;
    void StatusChanged(const std::string& text) override { record_.statusText = text; }
    void Settled() override { protocol_.Load(); }
    void WatchUnavailable() override;
    void Closed() override { closed_(); }

  private:
    QWidget& window_;
    QtForm& form_;
    WindowRecord& record_;
    ConfigProtocol& protocol_;
    std::function<void()> closed_;
};
