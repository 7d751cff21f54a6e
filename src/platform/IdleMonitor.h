#pragma once

#include <QObject>
#include <chrono>
#include <memory>

namespace tavello {

// The session's idle time: how long nobody has touched the keyboard or the mouse. Told once
// when that reaches the time being watched for, and once at the next input after it, in turn,
// so that one idle period is reported once. Each window system has its own source behind it.
class IdleMonitor : public QObject {
    Q_OBJECT
  public:
    ~IdleMonitor() override = default;
    // Starts (or starts again) watching for this much idle time.
    virtual void Watch(std::chrono::milliseconds timeout) = 0;

  signals:
    void idled();
    void resumed();
    // The source went away (the display closed): nothing more comes.
    void lost();
};

enum class IdleSourceProblem {
    None,
    NoIdleCounter,  // the X display cannot be reached or keeps no idle time
    NoWaylandIdle,  // the Wayland desk tells nobody its idle time (and GNOME's monitor is absent)
};

// Whether the session's idle time comes from a Wayland desk: then no X display is needed.
bool IdleFromWayland();

// The source for the session's display; null with the reason in *problem when there is none.
std::unique_ptr<IdleMonitor> OpenIdleMonitor(IdleSourceProblem* problem);

}  // namespace tavello
