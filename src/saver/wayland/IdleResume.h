#pragma once

#include <functional>

struct ext_idle_notification_v1;
struct org_kde_kwin_idle_timeout;

namespace tavello {

class WaylandGlobals;

// The compositor's word that the user is active again after a short quiet: input that reaches
// no surface of the desk (a device the compositor keeps to itself, a key it takes for a shortcut)
// still ends the show. Nothing is watched where the compositor offers neither protocol.
class IdleResume {
  public:
    IdleResume(WaylandGlobals& globals, std::function<void()> resumed);
    ~IdleResume();
    IdleResume(const IdleResume&) = delete;
    IdleResume& operator=(const IdleResume&) = delete;

    // Called by the listeners.
    void Idled() { idled_ = true; }
    void Resumed();

  private:
    std::function<void()> resumed_;
    ext_idle_notification_v1* notification_ = nullptr;
    org_kde_kwin_idle_timeout* kdeTimeout_ = nullptr;
    bool idled_ = false;
};

}  // namespace tavello
