#pragma once

#include <functional>
#include <string>

// A periodic timer of the window's thread, not of a window. Its ticks arrive
// only while the thread dispatches events, through TimerObjectTick, which
// hands them to the object's tick handler.
class TimerObject {
  public:
    TimerObject() = default;
    TimerObject(const TimerObject&) = delete;
    TimerObject& operator=(const TimerObject&) = delete;
    virtual ~TimerObject();

    // Starts a timer with this period; returns its non-zero id (0 when no
    // timer could be made). A second start makes a second timer.
    int Start(int periodMs, const std::string& name);
    // Stops the timer of the last start.
    void Stop();

    int Id() const { return id_; }
    const std::string& Name() const { return name_; }

    // Called with the id of every tick of this object's timers.
    std::function<void(int id)> onTick;

  private:
    int id_ = 0;
    std::string name_;
};

// Delivers one tick of the timer with this id to the object that runs it.
void TimerObjectTick(int id);

// How many timer objects run now.
int RunningTimerObjects();
