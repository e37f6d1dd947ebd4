#include "channels/usb/TimerObject.h"

#include <QCoreApplication>
#include <QObject>
#include <QTimerEvent>
#include <map>
#include <memory>

namespace {

// The running timer objects by timer id. It lives on the window's thread
// alone and needs no lock.
std::unique_ptr<std::map<int, TimerObject*>> registry;

// Receives the thread's timer events for every timer object.
class TimerHost : public QObject {
  protected:
    void timerEvent(QTimerEvent* event) override { TimerObjectTick(event->timerId()); }
};

TimerHost& Host() {
    static TimerHost host;
    return host;
}

}  // namespace

TimerObject::~TimerObject() {
    // A running timer goes on ticking into nothing: its object is gone.
    if (registry) {
        for (auto& [id, object] : *registry) {
            if (object == this) {
                object = nullptr;
            }
        }
    }
}

int TimerObject::Start(int periodMs, const std::string& name) {
    name_ = name;
    id_ = Host().startTimer(periodMs);
    if (id_ != 0) {
        if (!registry) {
            registry = std::make_unique<std::map<int, TimerObject*>>();
        }
        (*registry)[id_] = this;
    }
    return id_;
}

void TimerObject::Stop() {
    // Only a timer that runs is killed; the id is kept.
    if (!registry || registry->erase(id_) == 0) {
        return;
    }
    Host().killTimer(id_);
    if (registry->empty()) {
        registry.reset();
    }
}

void TimerObjectTick(int id) {
    if (!registry) {
        return;
    }
    auto it = registry->find(id);
    if (it != registry->end() && it->second != nullptr && it->second->onTick) {
        it->second->onTick(id);
    }
}

int RunningTimerObjects() {
    return registry ? static_cast<int>(registry->size()) : 0;
}
