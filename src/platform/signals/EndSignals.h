#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP, turned into a call on the thread that made
// this object, so that a program ends the way it ends on Exit: the reader's
// connection closed, the serial line's exclusive flag cleared and the line
// let go. The handler only writes the signal's number into a pipe; the call
// comes at the next pass of the event loop. A second signal before the
// program has ended ends it at once, as the signal would have without this.
class EndSignals : public QObject {
  public:
    using Handler = std::function<void(int signal)>;

    explicit EndSignals(Handler handler);
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;
    // Puts back the actions in force before.
    ~EndSignals() override;

    // The first signal that came, or 0.
    static int Received();
    // The exit status a shell gives a program that such a signal ended.
    static int ExitStatusOf(int signal) { return 128 + signal; }
    // "SIGINT", "SIGTERM" or "SIGHUP".
    static const char* NameOf(int signal);

  private:
    void Deliver();

    Handler handler_;
    std::unique_ptr<QSocketNotifier> notifier_;
};
