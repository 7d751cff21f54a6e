#include "saver/wayland/IdleResume.h"

#include "ext-idle-notify-v1-client.h"
#include "kde-idle-client.h"
#include "saver/wayland/WaylandGlobals.h"

#include <wayland-client.h>

namespace tavello {

namespace {

// Short, so that the quiet is there soon after the show comes up; the first input after it ends
// the show.
constexpr std::uint32_t kQuietMs = 500;

IdleResume* Of(void* data) {
    return static_cast<IdleResume*>(data);
}

void OnIdled(void* data, ext_idle_notification_v1* /*notification*/) {
    Of(data)->Idled();
}
void OnResumed(void* data, ext_idle_notification_v1* /*notification*/) {
    Of(data)->Resumed();
}
const ext_idle_notification_v1_listener kNotificationListener = {OnIdled, OnResumed};

void OnKdeIdle(void* data, org_kde_kwin_idle_timeout* /*timeout*/) {
    Of(data)->Idled();
}
void OnKdeResumed(void* data, org_kde_kwin_idle_timeout* /*timeout*/) {
    Of(data)->Resumed();
}
const org_kde_kwin_idle_timeout_listener kKdeListener = {OnKdeIdle, OnKdeResumed};

}  // namespace

IdleResume::IdleResume(WaylandGlobals& globals, std::function<void()> resumed)
    : resumed_(std::move(resumed)) {
    if (!globals.seat) return;
    if (globals.idleNotifier) {
        notification_ = ext_idle_notifier_v1_get_idle_notification(globals.idleNotifier, kQuietMs,
                                                                   globals.seat);
        ext_idle_notification_v1_add_listener(notification_, &kNotificationListener, this);
    } else if (globals.kdeIdle) {
        kdeTimeout_ = org_kde_kwin_idle_get_idle_timeout(globals.kdeIdle, globals.seat, kQuietMs);
        org_kde_kwin_idle_timeout_add_listener(kdeTimeout_, &kKdeListener, this);
    }
}

IdleResume::~IdleResume() {
    if (notification_) ext_idle_notification_v1_destroy(notification_);
    if (kdeTimeout_) org_kde_kwin_idle_timeout_release(kdeTimeout_);
}

void IdleResume::Resumed() {
    // Only activity after a quiet is news; the protocols say nothing else, but a compositor
    // that did would not end the show for it.
    if (!idled_) return;
    idled_ = false;
    if (resumed_) resumed_();
}

}  // namespace tavello
