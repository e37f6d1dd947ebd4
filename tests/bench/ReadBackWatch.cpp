#include "ReadBackWatch.h"

#include <QTimer>
#include <algorithm>

#include "BenchSupport.h"
#include "protocol/CommandSet.h"

namespace bench {
namespace {

constexpr int64_t kPollNs = int64_t{PollTimer::kPollIntervalMs} * 1'000'000;
constexpr int kTrialLimitMs = 3000;

}  // namespace

ReadBackWatch::ReadBackWatch(BenchApplication& app, BenchRig& rig) : app_(app), rig_(rig) {
    app_.before = [this](QObject* receiver, QEvent::Type type) { Before(receiver, type); };
    app_.after = [this](QObject*, QEvent::Type) { After(); };
}

ReadBackWatch::~ReadBackWatch() {
    app_.before = nullptr;
    app_.after = nullptr;
}

std::optional<ReadBackTrial> ReadBackWatch::Run(std::mt19937& random) {
    RunFor(static_cast<int>(random() % PollTimer::kPollIntervalMs));
    const int64_t choice = NowNs();
    const int64_t scheduledPoll = std::max(choice, lastPollEndNs_ + kPollNs);
    writeTickNs_ = 0;
    lastByteNs_ = 0;
    doneNs_ = 0;
    pollTicks_ = 0;
    replyHandOvers_ = 0;
    rig_.ChooseCommand(kDeviceTypeSetup);
    if (rig_.Status() == kConfigOk) {
        return std::nullopt;  // the choice started no read-back
    }
    QEventLoop loop;
    loop_ = &loop;
    QTimer::singleShot(kTrialLimitMs, &loop, &QEventLoop::quit);
    loop.exec();
    loop_ = nullptr;
    if (doneNs_ == 0) {
        return std::nullopt;
    }
    ReadBackTrial t{};
    t.latencyMs = static_cast<double>(doneNs_ - choice) / 1e6;
    t.floorMs = static_cast<double>(scheduledPoll - choice) / 1e6;
    t.pollTicks = pollTicks_;
    t.replyHandOvers = replyHandOvers_;
    if (writeTickNs_ != 0) {  // serial
        t.lineMs = static_cast<double>(lastByteNs_ - writeTickNs_) / 1e6;
        t.floorMs += t.lineMs + static_cast<double>(kPollNs) / 1e6;
    }
    return t;
}

void ReadBackWatch::Before(QObject* receiver, QEvent::Type type) {
    Delivery d{};
    d.pollTick = IsPollTick(receiver, type);
    d.framePending = rig_.readerStack.FramePending();
    d.replyLength = rig_.readerStack.Serial().Reply().length;
    d.startNs = NowNs();
    stack_.push_back(d);
}

void ReadBackWatch::After() {
    if (stack_.empty()) {
        return;  // a delivery that began before the watch
    }
    const Delivery d = stack_.back();
    stack_.pop_back();
    const int64_t now = NowNs();
    if (!d.pollTick) {
        // A received byte is handed over to the window's thread as a queued
        // call; one of the reply stores it in the exchange's reply buffer.
        if (writeTickNs_ != 0 && d.replyLength != rig_.readerStack.Serial().Reply().length) {
            lastByteNs_ = now;
            ++replyHandOvers_;
        }
        return;
    }
    lastPollEndNs_ = now;
    if (loop_ == nullptr) {
        return;
    }
    ++pollTicks_;
    // The serial poll that takes the pending request writes it.
    if (rig_.window->ConnectModeIndex() == kSerialMode && d.framePending &&
        !rig_.readerStack.FramePending()) {
        writeTickNs_ = d.startNs;
    }
    if (doneNs_ == 0 && rig_.Status() == kConfigOk) {
        doneNs_ = now;
        loop_->quit();
    }
}

}  // namespace bench
