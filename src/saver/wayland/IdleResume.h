#pragma once

#include <functional>
#include <memory>

namespace tavello {

class IdleMonitor;

// The session's word that the user is active again after a short quiet: input that reaches no
// window of the show (a device the compositor keeps to itself, a key it takes for a shortcut)
// still ends it. Nothing is watched where the session tells nobody its idle time.
class IdleResume {
  public:
    explicit IdleResume(std::function<void()> resumed);
    ~IdleResume();
    IdleResume(const IdleResume&) = delete;
    IdleResume& operator=(const IdleResume&) = delete;

  private:
    std::function<void()> resumed_;
    std::unique_ptr<IdleMonitor> monitor_;
    bool idled_ = false;
};

}  // namespace tavello
