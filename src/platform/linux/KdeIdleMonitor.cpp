#include "platform/linux/IdleSources.h"
#include "platform/linux/WaylandClient.h"

#include <wayland-client.h>
#include "kde-idle-client.h"

#include <algorithm>
#include <cstdint>

namespace tavello {

namespace {

using std::chrono::milliseconds;

// KWin's own idle protocol, for the desks without the common one (older KWin, sway before 1.8):
// a timeout object tells when the seat has had no input for its time and when input comes after
// that. The compositor leaves it silent while a program inhibits idleness.
class KdeIdleMonitor final : public IdleMonitor {
  public:
    explicit KdeIdleMonitor(std::unique_ptr<WaylandClient> client) : client_(std::move(client)) {
        idle_ = static_cast<org_kde_kwin_idle*>(client_->Bind(&org_kde_kwin_idle_interface, 1));
        seat_ = static_cast<wl_seat*>(client_->Bind(&wl_seat_interface, 1));
        connect(client_.get(), &WaylandClient::lost, this, &IdleMonitor::lost);
    }
    ~KdeIdleMonitor() override {
        if (timeout_) org_kde_kwin_idle_timeout_release(timeout_);
        org_kde_kwin_idle_destroy(idle_);
        wl_seat_destroy(seat_);
        client_->Flush();
    }

    void Watch(milliseconds timeout) override {
        if (timeout_) org_kde_kwin_idle_timeout_release(timeout_);
        const auto ms = static_cast<std::uint32_t>(
            std::clamp<milliseconds::rep>(timeout.count(), 1, UINT32_MAX));
        timeout_ = org_kde_kwin_idle_get_idle_timeout(idle_, seat_, ms);
        org_kde_kwin_idle_timeout_add_listener(timeout_, &kListener, this);
        client_->Flush();
    }

  private:
    static void onIdle(void* self, org_kde_kwin_idle_timeout*) {
        emit static_cast<KdeIdleMonitor*>(self)->idled();
    }
    static void onResumed(void* self, org_kde_kwin_idle_timeout*) {
        emit static_cast<KdeIdleMonitor*>(self)->resumed();
    }
    static constexpr org_kde_kwin_idle_timeout_listener kListener = {
        .idle = &KdeIdleMonitor::onIdle,
        .resumed = &KdeIdleMonitor::onResumed,
    };

    std::unique_ptr<WaylandClient> client_;
    org_kde_kwin_idle* idle_ = nullptr;
    wl_seat* seat_ = nullptr;
    org_kde_kwin_idle_timeout* timeout_ = nullptr;
};

}  // namespace

std::unique_ptr<IdleMonitor> MakeKdeIdleMonitor(std::unique_ptr<WaylandClient> client) {
    return std::make_unique<KdeIdleMonitor>(std::move(client));
}

}  // namespace tavello
