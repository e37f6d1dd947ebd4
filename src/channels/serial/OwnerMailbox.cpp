#include "channels/serial/OwnerMailbox.h"

#include <QMetaObject>
#include <QObject>

OwnerMailbox::OwnerMailbox() : inbox_(std::make_unique<QObject>()) {}

OwnerMailbox::~OwnerMailbox() = default;

void OwnerMailbox::Post(std::function<void()> job) const {
    QMetaObject::invokeMethod(inbox_.get(), std::move(job), Qt::QueuedConnection);
}
