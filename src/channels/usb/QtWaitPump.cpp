#include "channels/usb/QtWaitPump.h"

#include <QCoreApplication>

namespace {
constexpr int kIdleWaitMs = 1;
}

QtWaitPump::QtWaitPump() {
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
}

void QtWaitPump::PumpOneMessage(bool madeProgress) {
    if (madeProgress) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    wake_.start(kIdleWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
