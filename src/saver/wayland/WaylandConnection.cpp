#include "saver/wayland/WaylandConnection.h"

#include "saver/wayland/WaylandGlobals.h"

#include <wayland-client.h>
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>

namespace tavello {

std::unique_ptr<WaylandConnection> WaylandConnection::Connect() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return nullptr;
    return std::unique_ptr<WaylandConnection>(new WaylandConnection(display));
}

WaylandConnection::WaylandConnection(wl_display* display) : display_(display) {
    // Without an application (the probe before it exists) there is no loop to watch from.
    if (!QCoreApplication::instance()) return;
    notifier_ =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(display_), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &WaylandConnection::Readable);
    // Whatever the handlers asked for leaves before the loop sleeps.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &WaylandConnection::Dispatch);
}

WaylandConnection::~WaylandConnection() {
    notifier_.reset();
    wl_display_disconnect(display_);
}

bool WaylandConnection::Roundtrip() {
    if (broken_ || wl_display_roundtrip(display_) < 0) {
        Break();
        return false;
    }
    return true;
}

void WaylandConnection::Flush() {
    if (!broken_ && wl_display_flush(display_) < 0 && errno != EAGAIN) Break();
}

void WaylandConnection::Readable() {
    if (broken_) return;
    // Events already queued are handled first, as the library asks before reading.
    while (wl_display_prepare_read(display_) != 0) {
        if (wl_display_dispatch_pending(display_) < 0) return Break();
    }
    if (wl_display_read_events(display_) < 0) return Break();
    Dispatch();
}

void WaylandConnection::Dispatch() {
    if (broken_) return;
    if (wl_display_dispatch_pending(display_) < 0) return Break();
    Flush();
}

void WaylandConnection::Break() {
    if (broken_) return;
    broken_ = true;
    if (notifier_) notifier_->setEnabled(false);
    if (broken) broken();
}

WaylandOffer ProbeWayland() {
    WaylandOffer offer;
    const auto connection = WaylandConnection::Connect();
    if (!connection) return offer;
    WaylandGlobals globals(connection->display());
    // The first answer lists the globals, the second describes the monitors bound meanwhile.
    if (!connection->Roundtrip() || !connection->Roundtrip()) return offer;
    offer.reached = true;
    offer.layerShell = globals.layerShellOffered;
    for (const auto& output : globals.outputs())
        if (output->described) offer.outputs << output->Logical();
    return offer;
}

}  // namespace tavello
