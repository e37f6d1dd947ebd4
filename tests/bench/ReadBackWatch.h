#pragma once

#include <QEvent>
#include <QEventLoop>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "BenchApplication.h"
#include "BenchRig.h"

namespace bench {

// One configuration read-back, from the choice of Device_Type_Setup to the
// poll tick that leaves the form showing the configuration.
struct ReadBackTrial {
    double latencyMs;
    // What the window's polls allow at best (see ReadBackLatency.cpp).
    double floorMs;
    // Serial only: from the poll that wrote the request to the hand-over of
    // the reply's last byte.
    double lineMs;
    // What the watch saw of the window: its poll ticks during the trial,
    // and (serial) the hand-overs that stored a reply byte.
    int pollTicks;
    int replyHandOvers;
};

// Watches the polls and the serial hand-overs of the rig's window through
// the application's event hooks while it lives, and runs read-back trials.
class ReadBackWatch {
  public:
    ReadBackWatch(BenchApplication& app, BenchRig& rig);
    ReadBackWatch(const ReadBackWatch&) = delete;
    ReadBackWatch& operator=(const ReadBackWatch&) = delete;
    ~ReadBackWatch();

    // One trial, begun at a random point of the poll interval; nothing when
    // the form did not show the configuration within a few seconds.
    std::optional<ReadBackTrial> Run(std::mt19937& random);

  private:
    struct Delivery {
        bool pollTick;
        bool framePending;
        int32_t replyLength;
        int64_t startNs;
    };

    void Before(QObject* receiver, QEvent::Type type);
    void After();

    BenchApplication& app_;
    BenchRig& rig_;
    std::vector<Delivery> stack_;
    QEventLoop* loop_ = nullptr;
    int64_t lastPollEndNs_ = 0;
    int64_t writeTickNs_ = 0;
    int64_t lastByteNs_ = 0;
    int64_t doneNs_ = 0;
    int pollTicks_ = 0;
    int replyHandOvers_ = 0;
};

}  // namespace bench
