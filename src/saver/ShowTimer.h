#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace tavello {

// How the show is woken for its next step: the application's event loop runs it, and tests run it
// on a clock of their own.
class ShowTimer {
  public:
    virtual ~ShowTimer() = default;
    // Calls due once, after at least milliseconds (0: at the event loop's next turn), in place of
    // any call asked for before and not yet made.
    virtual void WakeAfter(int milliseconds, std::function<void()> due) = 0;
    // Forgets the call asked for.
    virtual void Stop() = 0;
};

// The real thing: a precise single-shot timer on the event loop.
class EventLoopTimer final : public ShowTimer {
  public:
    EventLoopTimer();
    void WakeAfter(int milliseconds, std::function<void()> due) override;
    void Stop() override;

  private:
    QTimer timer_;
    std::function<void()> due_;
};

}  // namespace tavello
