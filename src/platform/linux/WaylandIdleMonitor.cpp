#include "platform/linux/IdleSources.h"
#include "platform/linux/WaylandClient.h"

#include <wayland-client.h>
#include "ext-idle-notify-v1-client.h"
#include "kde-idle-client.h"

#include <algorithm>
#include <cstdint>

namespace tavello {

namespace {

using std::chrono::milliseconds;

// The compositor's idle notification, in the common protocol or in KWin's own older one (for
// the desks without the common one): it tells when the seat has had no input for the time asked
// for, and when input comes after that. Programs holding an idle inhibitor (a video playing) keep
// it from telling, as they keep the desk's own blanking away.
class WaylandIdleMonitor final : public IdleMonitor {
  public:
    WaylandIdleMonitor(std::unique_ptr<WaylandClient> client, WaylandIdleKind kind)
        : client_(std::move(client)) {
        if (kind == WaylandIdleKind::ExtIdleNotify)
            notifier_ = static_cast<ext_idle_notifier_v1*>(
                client_->Bind(&ext_idle_notifier_v1_interface, 1));
        else
            kdeIdle_ =
                static_cast<org_kde_kwin_idle*>(client_->Bind(&org_kde_kwin_idle_interface, 1));
        seat_ = static_cast<wl_seat*>(client_->Bind(&wl_seat_interface, 1));
        connect(client_.get(), &WaylandClient::lost, this, &IdleMonitor::lost);
    }
    ~WaylandIdleMonitor() override {
        StopWatching();
        if (notifier_) ext_idle_notifier_v1_destroy(notifier_);
        if (kdeIdle_) org_kde_kwin_idle_destroy(kdeIdle_);
        wl_seat_destroy(seat_);
        client_->Flush();
    }

    void Watch(milliseconds timeout) override {
        // A notification keeps its time: watching anew is a new notification.
        StopWatching();
        const auto ms = static_cast<std::uint32_t>(
            std::clamp<milliseconds::rep>(timeout.count(), 1, UINT32_MAX));
        if (notifier_) {
            notification_ = ext_idle_notifier_v1_get_idle_notification(notifier_, ms, seat_);
            ext_idle_notification_v1_add_listener(notification_, &kExtListener, this);
        } else {
            kdeTimeout_ = org_kde_kwin_idle_get_idle_timeout(kdeIdle_, seat_, ms);
            org_kde_kwin_idle_timeout_add_listener(kdeTimeout_, &kKdeListener, this);
        }
        client_->Flush();
    }

  private:
    void StopWatching() {
        if (notification_) ext_idle_notification_v1_destroy(notification_);
        if (kdeTimeout_) org_kde_kwin_idle_timeout_release(kdeTimeout_);
        notification_ = nullptr;
        kdeTimeout_ = nullptr;
    }

    static void onIdled(void* self, ext_idle_notification_v1*) {
        emit static_cast<WaylandIdleMonitor*>(self)->idled();
    }
    static void onResumed(void* self, ext_idle_notification_v1*) {
        emit static_cast<WaylandIdleMonitor*>(self)->resumed();
    }
    static void onKdeIdle(void* self, org_kde_kwin_idle_timeout*) {
        emit static_cast<WaylandIdleMonitor*>(self)->idled();
    }
    static void onKdeResumed(void* self, org_kde_kwin_idle_timeout*) {
        emit static_cast<WaylandIdleMonitor*>(self)->resumed();
    }
    static constexpr ext_idle_notification_v1_listener kExtListener = {
        .idled = &WaylandIdleMonitor::onIdled,
        .resumed = &WaylandIdleMonitor::onResumed,
    };
    static constexpr org_kde_kwin_idle_timeout_listener kKdeListener = {
        .idle = &WaylandIdleMonitor::onKdeIdle,
        .resumed = &WaylandIdleMonitor::onKdeResumed,
    };

    std::unique_ptr<WaylandClient> client_;
    wl_seat* seat_ = nullptr;
    ext_idle_notifier_v1* notifier_ = nullptr;  // the common protocol
    ext_idle_notification_v1* notification_ = nullptr;
    org_kde_kwin_idle* kdeIdle_ = nullptr;  // or KWin's
    org_kde_kwin_idle_timeout* kdeTimeout_ = nullptr;
};

}  // namespace

std::unique_ptr<IdleMonitor> MakeWaylandIdleMonitor(std::unique_ptr<WaylandClient> client,
                                                    WaylandIdleKind kind) {
    return std::make_unique<WaylandIdleMonitor>(std::move(client), kind);
}

}  // namespace tavello
