#include "SimulatedDeviceWatch.h"

#include <QCoreApplication>
#include <QMetaObject>

SimulatedDeviceWatch::SimulatedDeviceWatch(SimulatedHidPlatform& devices) : devices_(devices) {
    devices_.onChange = [this, alive = std::weak_ptr<bool>(alive_)](bool arrived) {
        const Change change = arrived ? Change::Arrival : Change::Removal;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [this, alive, change] {
                if (!alive.expired() && registered_ && handler_) {
                    handler_(change);
                }
            },
            Qt::QueuedConnection);
    };
}

SimulatedDeviceWatch::~SimulatedDeviceWatch() {
    devices_.onChange = nullptr;
}

bool SimulatedDeviceWatch::Register(Handler handler) {
    if (refuseRegistration) {
        return false;
    }
    ++registrations;
    handler_ = std::move(handler);
    registered_ = true;
    return true;
}

void SimulatedDeviceWatch::Unregister() {
    registered_ = false;
    handler_ = nullptr;
}
