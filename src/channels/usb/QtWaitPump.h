#pragma once

#include <QTimer>

#include "channels/usb/WaitPump.h"

// One pass of the Qt event loop of the calling thread.
class QtWaitPump : public WaitPump {
  public:
    QtWaitPump();
    void PumpOneMessage(bool madeProgress) override;

  private:
    QTimer wake_;  // bounds the wait for an event to 1 ms
};
