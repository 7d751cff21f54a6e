#include "platform/HostWindow.h"

#include <xcb/xcb.h>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

namespace tavello {

namespace {

// Host windows over the X server connection the toolkit already has. Events of the watched
// window arrive with the toolkit's own and are picked out by a native event filter.
class XcbHostWindows final : public HostWindows, public QAbstractNativeEventFilter {
  public:
    XcbHostWindows() {
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            connection_ = x11->connection();
    }
    ~XcbHostWindows() override {
        if (watched_) QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    WId RootWindow() override {
        if (!connection_) return 0;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        return screen ? screen->root : 0;
    }

    std::optional<QRect> Geometry(WId window) override {
        if (!connection_) return std::nullopt;
        const auto id = static_cast<xcb_window_t>(window);
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, id), nullptr);
        if (!geometry) return std::nullopt;
        const QSize size(geometry->width, geometry->height);
        const xcb_window_t root = geometry->root;
        free(geometry);
        xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
            connection_, xcb_translate_coordinates(connection_, id, root, 0, 0), nullptr);
        if (!origin) return std::nullopt;
        const QRect rect(QPoint(origin->dst_x, origin->dst_y), size);
        free(origin);
        return rect;
    }

    bool IsTopLevel(WId window) override {
        if (!connection_) return true;
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(
            connection_, xcb_query_tree(connection_, static_cast<xcb_window_t>(window)), nullptr);
        if (!tree) return true;
        const bool topLevel = tree->parent == tree->root || tree->parent == XCB_WINDOW_NONE;
        free(tree);
        return topLevel;
    }

    void EmbedInto(QWidget& widget, WId host) override {
        host_.reset(QWindow::fromWinId(host));
        widget.winId();  // the widget's own native window, to be put inside the host's
        widget.windowHandle()->setParent(host_.get());
    }

    void Watch(WId host) override {
        if (!connection_) return;
        watched_ = static_cast<xcb_window_t>(host);
        QCoreApplication::instance()->installNativeEventFilter(this);
        // Structure events of another client's window: resizes and its destruction.
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, watched_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
        // Gone before the events were asked for: no event will ever say so.
        if (!Geometry(host)) QTimer::singleShot(0, this, &HostWindows::gone);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t" || !watched_) return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        switch (event->response_type & 0x7f) {
            case XCB_CONFIGURE_NOTIFY: {
                const auto* configure = static_cast<const xcb_configure_notify_event_t*>(message);
                if (configure->window == watched_)
                    emit resized(QSize(configure->width, configure->height));
                break;
            }
            case XCB_DESTROY_NOTIFY: {
                const auto* destroy = static_cast<const xcb_destroy_notify_event_t*>(message);
                if (destroy->window == watched_) emit gone();
                break;
            }
            default:
                break;
        }
        return false;  // the toolkit sees every event as before
    }

  private:
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t watched_ = 0;
    std::unique_ptr<QWindow> host_;
};

}  // namespace

std::unique_ptr<HostWindows> MakeSystemHostWindows() {
    return std::make_unique<XcbHostWindows>();
}

}  // namespace tavello
