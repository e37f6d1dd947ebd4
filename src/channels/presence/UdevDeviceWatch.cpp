#include <QSocketNotifier>

#include "channels/presence/DeviceWatch.h"
#include "platform/notify/UdevMonitor.h"

namespace {

class UdevDeviceWatch : public DeviceWatch {
  public:
    bool Register(Handler handler) override {
        Unregister();
        if (!monitor_.Open()) {
            return false;
        }
        handler_ = std::move(handler);
        notifier_ = std::make_unique<QSocketNotifier>(monitor_.Handle(), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            monitor_.ReadChanges([this](UdevMonitor::Change change) {
                handler_(change == UdevMonitor::Change::Arrival ? Change::Arrival
                                                                : Change::Removal);
            });
        });
        return true;
    }

    void Unregister() override {
        notifier_.reset();
        monitor_.Close();
        handler_ = nullptr;
    }

    bool Registered() const override { return notifier_ != nullptr; }

  private:
    UdevMonitor monitor_;
    std::unique_ptr<QSocketNotifier> notifier_;
    Handler handler_;
};

}  // namespace

std::unique_ptr<DeviceWatch> MakeUdevDeviceWatch() {
    return std::make_unique<UdevDeviceWatch>();
}
