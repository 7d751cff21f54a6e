#include "saver/wayland/IdleResume.h"

#include "platform/IdleMonitor.h"

namespace tavello {

namespace {

// Short, so that the quiet is there soon after the show comes up; the first input after it ends
// the show.
constexpr std::chrono::milliseconds kQuiet{500};

}  // namespace

IdleResume::IdleResume(std::function<void()> resumed) : resumed_(std::move(resumed)) {
    IdleSourceProblem problem = IdleSourceProblem::None;
    monitor_ = OpenIdleMonitor(&problem);
    if (!monitor_) return;
    QObject::connect(monitor_.get(), &IdleMonitor::idled, monitor_.get(),
                     [this] { idled_ = true; });
    QObject::connect(monitor_.get(), &IdleMonitor::resumed, monitor_.get(), [this] {
        // Only activity after a quiet is news.
        if (!idled_) return;
        idled_ = false;
        if (resumed_) resumed_();
    });
    monitor_->Watch(kQuiet);
}

IdleResume::~IdleResume() = default;

}  // namespace tavello
