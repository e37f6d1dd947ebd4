#pragma once

// How a waiting exchange keeps the window's thread alive: one pass of the
// thread's event loop per attempt.
class WaitPump {
  public:
    virtual ~WaitPump() = default;
    // Dispatches what is queued. After an attempt that made no progress it
    // may wait briefly for an event, so that the wait does not spin a core.
    virtual void PumpOneMessage(bool madeProgress) = 0;
};
