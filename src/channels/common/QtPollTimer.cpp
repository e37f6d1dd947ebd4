#include <QTimer>

#include "channels/common/PollTimer.h"

namespace {

class QtPollTimer : public PollTimer {
  public:
    QtPollTimer() {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (expiry_) {
                expiry_();
            }
        });
    }
    void SetExpiry(std::function<void()> expiry) override { expiry_ = std::move(expiry); }
    void Start() override { timer_.start(kPollIntervalMs); }
    void Stop() override { timer_.stop(); }
    bool Active() const override { return timer_.isActive(); }

  private:
    QTimer timer_;
    std::function<void()> expiry_;
};

}  // namespace

std::unique_ptr<PollTimer> MakeQtPollTimer() {
    return std::make_unique<QtPollTimer>();
}
