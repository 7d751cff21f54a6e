#pragma once

namespace tavello {

// How the show loop gives the window system its turn.
class ShowWaiter {
  public:
    virtual ~ShowWaiter() = default;
    // Runs the handlers of every pending window event, then returns.
    virtual void DoEvents() = 0;
    // Runs pending handlers and blocks until more events arrive (input, painting) or at most
    // milliseconds have passed, whichever comes first.
    virtual void WaitForEventsOr(int milliseconds) = 0;
};

// The real thing: the Qt event loop with a precise single-shot timer as the deadline.
class EventLoopWaiter final : public ShowWaiter {
  public:
    void DoEvents() override;
    void WaitForEventsOr(int milliseconds) override;
};

}  // namespace tavello
