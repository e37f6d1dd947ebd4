#pragma once

#include <functional>
#include <memory>

class QObject;

// Where another thread leaves work for the thread that made the mailbox:
// what is posted runs there, in the order posted, when that thread's Qt
// event loop runs. Work still waiting when the mailbox goes is dropped.
class OwnerMailbox {
  public:
    OwnerMailbox();
    OwnerMailbox(const OwnerMailbox&) = delete;
    OwnerMailbox& operator=(const OwnerMailbox&) = delete;
    ~OwnerMailbox();

    // Any thread; returns at once.
    void Post(std::function<void()> job) const;

  private:
    // A bare object living on the making thread: queued calls to it run there.
    std::unique_ptr<QObject> inbox_;
};
