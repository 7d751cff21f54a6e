#include "platform/linux/IdleSources.h"

#include <xcb/screensaver.h>
#include <xcb/xcb.h>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <optional>

namespace tavello {

namespace {

using std::chrono::milliseconds;

// While the desk is idle, how often to look for the input that ends the idle period. Shorter
// than the time watched for, so that a touch between two looks is never missed.
constexpr milliseconds kLongestLook{5000};

// The X server's own count of the time since the last input of any device (the MIT-SCREEN-SAVER
// extension). A program that resets the server's screen saver (XResetScreenSaver, as video
// players do) sets it back to zero too. Between the moments worth looking, a single timer
// sleeps: until the time watched for would be reached, or, once idle, until the next look.
class XcbIdleMonitor final : public IdleMonitor {
  public:
    XcbIdleMonitor(xcb_connection_t* connection, xcb_window_t root)
        : connection_(connection),
          root_(root),
          closed_(xcb_get_file_descriptor(connection), QSocketNotifier::Read) {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, &XcbIdleMonitor::look);
        // Nothing is asked for but the server may still send a little; a closed display shows
        // up here at once rather than at the next look.
        connect(&closed_, &QSocketNotifier::activated, this, &XcbIdleMonitor::drain);
    }
    ~XcbIdleMonitor() override { xcb_disconnect(connection_); }

    void Watch(milliseconds timeout) override {
        timeout_ = std::max(timeout, milliseconds(1));
        idle_ = false;
        look();
    }

  private:
    std::optional<milliseconds> idleTime() {
        const auto cookie = xcb_screensaver_query_info(connection_, root_);
        xcb_screensaver_query_info_reply_t* reply =
            xcb_screensaver_query_info_reply(connection_, cookie, nullptr);
        if (!reply) return std::nullopt;
        const milliseconds idle(reply->ms_since_user_input);
        std::free(reply);
        return idle;
    }

    void look() {
        const std::optional<milliseconds> idle = idleTime();
        if (!idle) return loseSource();
        // Idle time only grows until the next input, and looks come more often than the time
        // watched for: below it, there has been input since the idle period began.
        const bool idleNow = *idle >= timeout_;
        if (idleNow) {
            timer_.start(std::min(kLongestLook, timeout_ / 2 + milliseconds(1)));
        } else {
            timer_.start(timeout_ - *idle);
        }
        if (idleNow == idle_) return;
        idle_ = idleNow;
        if (idleNow) {
            emit idled();
        } else {
            emit resumed();
        }
    }

    void drain() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) std::free(event);
        if (xcb_connection_has_error(connection_)) loseSource();
    }

    void loseSource() {
        timer_.stop();
        closed_.setEnabled(false);
        emit lost();
    }

    xcb_connection_t* connection_;
    xcb_window_t root_;
    QSocketNotifier closed_;
    QTimer timer_;
    milliseconds timeout_{0};
    bool idle_ = false;
};

}  // namespace

std::unique_ptr<IdleMonitor> OpenXcbIdleMonitor(IdleSourceProblem* problem) {
    *problem = IdleSourceProblem::None;
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen);
    const xcb_query_extension_reply_t* extension =
        xcb_connection_has_error(connection)
            ? nullptr
            : xcb_get_extension_data(connection, &xcb_screensaver_id);
    if (!extension || !extension->present) {
        xcb_disconnect(connection);
        *problem = IdleSourceProblem::NoIdleCounter;
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen && screens.rem > 0; ++i) xcb_screen_next(&screens);
    return std::make_unique<XcbIdleMonitor>(connection, screens.data->root);
}

}  // namespace tavello
