#pragma once

#include <functional>
#include <memory>

namespace tavello {

// Lets a worker thread that may outlive the GUI-thread object it works for answer that object:
// the worker keeps a copy of the object's ticket and posts through it. The call runs on the GUI
// thread, posted to the application rather than to the object, and only while the object has not
// revoked the ticket (in its destructor), so a late answer to a window already gone is dropped.
class GuiTicket {
  public:
    GuiTicket() : alive_(std::make_shared<bool>(true)) {}

    // From any thread.
    void post(std::function<void()> call) const;
    // On the GUI thread only: no call posted through any copy runs from now on.
    void revoke() { *alive_ = false; }

  private:
    // Read and written on the GUI thread only; the workers' copies merely keep it alive.
    std::shared_ptr<bool> alive_;
};

}  // namespace tavello
