#include "platform/DeskGuard.h"

#include <xcb/xcb.h>
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace tavello {
namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> Owned(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

// The toolkit's own connection: grabs must belong to the client whose windows get the input.
xcb_connection_t* Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t RootOf(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// The child of the root that holds the window: the window itself when no window manager has
// framed it, else the manager's frame.
xcb_window_t TopOf(xcb_connection_t* c, xcb_window_t root, xcb_window_t window) {
    for (int depth = 0; depth < 16 && window != XCB_NONE; ++depth) {
        auto tree = Owned(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
        if (!tree) return XCB_NONE;
        if (tree->parent == root) return window;
        window = tree->parent;
    }
    return XCB_NONE;
}

// Of the given root children, those another program shows: mapped and drawing.
std::vector<bool> VisibleFlags(xcb_connection_t* c, const std::vector<xcb_window_t>& windows) {
    std::vector<xcb_get_window_attributes_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t w : windows) cookies.push_back(xcb_get_window_attributes(c, w));
    std::vector<bool> visible;
    visible.reserve(windows.size());
    for (auto cookie : cookies) {
        auto attributes = Owned(xcb_get_window_attributes_reply(c, cookie, nullptr));
        visible.push_back(attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
                          attributes->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT);
    }
    return visible;
}

class StackingFilter final : public QAbstractNativeEventFilter {
  public:
    explicit StackingFilter(std::function<void()> changed) : changed_(std::move(changed)) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        switch (event->response_type & 0x7f) {
            case XCB_MAP_NOTIFY:
            case XCB_CONFIGURE_NOTIFY:
            case XCB_CIRCULATE_NOTIFY:
            case XCB_REPARENT_NOTIFY:
                changed_();
                break;
            default:
                break;
        }
        return false;  // the toolkit sees every event as before
    }

  private:
    std::function<void()> changed_;
};

// The shown top-level widget whose own window is this one, if any.
QWidget* ShownWidgetOf(xcb_window_t window) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->internalWinId() == window) return w;
    return nullptr;
}

// Whether the window still exists; asked with the error kept here, so the toolkit does not
// report the missing window as a fault.
bool Exists(xcb_connection_t* c, xcb_window_t window) {
    xcb_generic_error_t* error = nullptr;
    auto reply =
        Owned(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), &error));
    std::free(error);
    return reply != nullptr;
}

// Our windows leaving the screen while the toolkit still shows them (unmapped, put into another
// window, destroyed): that is someone else's doing, as the toolkit marks a widget hidden before it
// unmaps its window.
class LossFilter final : public QAbstractNativeEventFilter {
  public:
    explicit LossFilter(std::function<void(QWidget*, DeskGuard::Loss)> lost)
        : lost_(std::move(lost)) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        switch (event->response_type & 0x7f) {
            case XCB_UNMAP_NOTIFY: {
                const auto* unmap = static_cast<const xcb_unmap_notify_event_t*>(message);
                // Heard once as the window's own event; the root's copy (while the stacking is
                // watched) is passed over.
                if (unmap->event != unmap->window) break;
                QWidget* w = ShownWidgetOf(unmap->window);
                // A window destroyed while mapped is unmapped first; its destruction follows.
                if (w && Exists(Connection(), unmap->window)) lost_(w, DeskGuard::Loss::Unmapped);
                break;
            }
            case XCB_REPARENT_NOTIFY: {
                const auto* reparent = static_cast<const xcb_reparent_notify_event_t*>(message);
                // Our windows pass the window manager by, so only another program puts one into
                // a window, where it shows no more than that window lets it.
                if (reparent->event != reparent->window || !reparent->override_redirect) break;
                if (reparent->parent == RootOf(Connection())) break;
                if (QWidget* w = ShownWidgetOf(reparent->window))
                    lost_(w, DeskGuard::Loss::Unmapped);
                break;
            }
            case XCB_DESTROY_NOTIFY: {
                const auto* destroy = static_cast<const xcb_destroy_notify_event_t*>(message);
                if (destroy->event != destroy->window) break;
                if (QWidget* w = ShownWidgetOf(destroy->window))
                    lost_(w, DeskGuard::Loss::Destroyed);
                break;
            }
            default:
                break;
        }
        return false;
    }

  private:
    std::function<void(QWidget*, DeskGuard::Loss)> lost_;
};

class XcbDeskGuard final : public DeskGuard {
  public:
    bool GrabKeyboard(QWidget* window) override {
        xcb_connection_t* c = Connection();
        if (!c || !window) return false;
        auto reply = Owned(xcb_grab_keyboard_reply(
            c,
            xcb_grab_keyboard(c, 1, static_cast<xcb_window_t>(window->winId()), XCB_CURRENT_TIME,
                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
            nullptr));
        return reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    }

    bool GrabPointer(QWidget* window) override {
        xcb_connection_t* c = Connection();
        if (!c || !window) return false;
        constexpr std::uint16_t kEvents = XCB_EVENT_MASK_BUTTON_PRESS |
                                          XCB_EVENT_MASK_BUTTON_RELEASE |
                                          XCB_EVENT_MASK_POINTER_MOTION;
        auto reply = Owned(xcb_grab_pointer_reply(
            c,
            xcb_grab_pointer(c, 1, static_cast<xcb_window_t>(window->winId()), kEvents,
                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE,
                             XCB_CURRENT_TIME),
            nullptr));
        return reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    }

    void ReleaseInput() override {
        xcb_connection_t* c = Connection();
        if (!c) return;
        xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
        xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
        xcb_flush(c);
    }

    void WatchStacking(std::function<void()> changed) override {
        xcb_connection_t* c = Connection();
        if (!c) return;
        if (filter_) {
            QObject::disconnect(screensWatch_);
            qGuiApp->removeNativeEventFilter(filter_.get());
            filter_.reset();
            SetRootMask(c, RootMask(c) & ~XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
        }
        if (!changed) return;
        filter_ = std::make_unique<StackingFilter>(std::move(changed));
        qGuiApp->installNativeEventFilter(filter_.get());
        // Added to what the toolkit asks of the root window, not in its place; again whenever a
        // monitor comes, in case the toolkit sets its own wishes anew then.
        SetRootMask(c, RootMask(c) | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
        screensWatch_ = QObject::connect(qGuiApp, &QGuiApplication::screenAdded, [] {
            if (xcb_connection_t* c = Connection())
                SetRootMask(c, RootMask(c) | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
        });
    }

    bool OnTopInOrder(const QList<QWidget*>& windows) override {
        xcb_connection_t* c = Connection();
        if (!c) return true;
        const xcb_window_t root = RootOf(c);
        auto tree = Owned(xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr));
        if (!tree) return true;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        const std::vector<xcb_window_t> stack(
            children, children + xcb_query_tree_children_length(tree.get()));
        // Where each of ours stands, bottom first; the order must rise.
        std::vector<xcb_window_t> ours;
        int lowest = -1;
        int previous = -1;
        for (QWidget* w : windows) {
            const xcb_window_t top = TopOf(c, root, static_cast<xcb_window_t>(w->winId()));
            int at = -1;
            for (std::size_t i = 0; i < stack.size(); ++i)
                if (stack[i] == top) at = static_cast<int>(i);
            if (at < 0) continue;  // not on the display (yet)
            if (at < previous) return false;
            previous = at;
            if (lowest < 0 || at < lowest) lowest = at;
            ours.push_back(top);
        }
        if (lowest < 0) return true;
        std::vector<xcb_window_t> above;
        for (std::size_t i = static_cast<std::size_t>(lowest) + 1; i < stack.size(); ++i)
            if (std::find(ours.begin(), ours.end(), stack[i]) == ours.end())
                above.push_back(stack[i]);
        for (bool visible : VisibleFlags(c, above))
            if (visible) return false;
        return true;
    }

    void RaiseInOrder(const QList<QWidget*>& windows) override {
        xcb_connection_t* c = Connection();
        if (!c) return;
        const xcb_window_t root = RootOf(c);
        const std::uint32_t above = XCB_STACK_MODE_ABOVE;
        for (QWidget* w : windows) {
            const xcb_window_t top = TopOf(c, root, static_cast<xcb_window_t>(w->winId()));
            if (top != XCB_NONE) xcb_configure_window(c, top, XCB_CONFIG_WINDOW_STACK_MODE, &above);
        }
        xcb_flush(c);
    }

    void WatchOwnWindows(std::function<void(QWidget*, Loss)> lost) override {
        if (lossFilter_) qGuiApp->removeNativeEventFilter(lossFilter_.get());
        lossFilter_.reset();
        if (!lost || !Connection()) return;
        // The toolkit asks for its own windows' structure events: no mask to change.
        lossFilter_ = std::make_unique<LossFilter>(std::move(lost));
        qGuiApp->installNativeEventFilter(lossFilter_.get());
    }

    void MapAgain(QWidget* window) override {
        xcb_connection_t* c = Connection();
        if (!c || !window) return;
        const auto id = static_cast<xcb_window_t>(window->winId());
        // Taken back out of another program's window, to the place the toolkit gave it.
        const xcb_window_t root = RootOf(c);
        auto tree = Owned(xcb_query_tree_reply(c, xcb_query_tree(c, id), nullptr));
        if (tree && tree->parent != root) {
            const QPoint place = window->geometry().topLeft();
            xcb_reparent_window(c, id, root, static_cast<std::int16_t>(place.x()),
                                static_cast<std::int16_t>(place.y()));
        }
        const std::uint32_t above = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(c, id, XCB_CONFIG_WINDOW_STACK_MODE, &above);
        xcb_map_window(c, id);
        xcb_flush(c);
    }

  private:
    // What this program asks to hear of the root window.
    static std::uint32_t RootMask(xcb_connection_t* c) {
        auto attributes = Owned(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, RootOf(c)), nullptr));
        return attributes ? attributes->your_event_mask : 0;
    }
    static void SetRootMask(xcb_connection_t* c, std::uint32_t mask) {
        xcb_change_window_attributes(c, RootOf(c), XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
    }

    std::unique_ptr<StackingFilter> filter_;
    std::unique_ptr<LossFilter> lossFilter_;
    QMetaObject::Connection screensWatch_;
};

}  // namespace

DeskGuard& SystemDeskGuard() {
    static XcbDeskGuard guard;
    return guard;
}

}  // namespace tavello
