#include "platform/linux/IdleSources.h"
#include "platform/linux/WaylandClient.h"

#include <wayland-client.h>
#include "ext-idle-notify-v1-client.h"

#include <algorithm>
#include <cstdint>

namespace tavello {

namespace {

using std::chrono::milliseconds;

// The common idle notification: the compositor tells when its seat has had no input for the time
// asked for, and when input comes after that. Programs holding an idle inhibitor (a video
// playing) keep it from telling, as they keep the desk's own blanking away.
class ExtIdleMonitor final : public IdleMonitor {
  public:
    explicit ExtIdleMonitor(std::unique_ptr<WaylandClient> client) : client_(std::move(client)) {
        notifier_ =
            static_cast<ext_idle_notifier_v1*>(client_->Bind(&ext_idle_notifier_v1_interface, 1));
        seat_ = static_cast<wl_seat*>(client_->Bind(&wl_seat_interface, 1));
        connect(client_.get(), &WaylandClient::lost, this, &IdleMonitor::lost);
    }
    ~ExtIdleMonitor() override {
        if (notification_) ext_idle_notification_v1_destroy(notification_);
        ext_idle_notifier_v1_destroy(notifier_);
        wl_seat_destroy(seat_);
        client_->Flush();
    }

    void Watch(milliseconds timeout) override {
        // A notification keeps its time: watching anew is a new notification.
        if (notification_) ext_idle_notification_v1_destroy(notification_);
        const auto ms = static_cast<std::uint32_t>(
            std::clamp<milliseconds::rep>(timeout.count(), 1, UINT32_MAX));
        notification_ = ext_idle_notifier_v1_get_idle_notification(notifier_, ms, seat_);
        ext_idle_notification_v1_add_listener(notification_, &kListener, this);
        client_->Flush();
    }

  private:
    static void onIdled(void* self, ext_idle_notification_v1*) {
        emit static_cast<ExtIdleMonitor*>(self)->idled();
    }
    static void onResumed(void* self, ext_idle_notification_v1*) {
        emit static_cast<ExtIdleMonitor*>(self)->resumed();
    }
    static constexpr ext_idle_notification_v1_listener kListener = {
        .idled = &ExtIdleMonitor::onIdled,
        .resumed = &ExtIdleMonitor::onResumed,
    };

    std::unique_ptr<WaylandClient> client_;
    ext_idle_notifier_v1* notifier_ = nullptr;
    wl_seat* seat_ = nullptr;
    ext_idle_notification_v1* notification_ = nullptr;
};

}  // namespace

std::unique_ptr<IdleMonitor> MakeExtIdleMonitor(std::unique_ptr<WaylandClient> client) {
    return std::make_unique<ExtIdleMonitor>(std::move(client));
}

}  // namespace tavello
