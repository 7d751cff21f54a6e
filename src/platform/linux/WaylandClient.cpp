#include "platform/linux/WaylandClient.h"

#include <wayland-client.h>
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <algorithm>
#include <cerrno>

namespace tavello {

std::unique_ptr<WaylandClient> WaylandClient::Connect() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return nullptr;
    std::unique_ptr<WaylandClient> client(new WaylandClient(display));
    // One round trip brings every global the compositor offers.
    if (!client->Roundtrip()) return nullptr;
    return client;
}

WaylandClient::WaylandClient(wl_display* display) : display_(display) {
    static const wl_registry_listener listener = {
        .global = &WaylandClient::onGlobal,
        .global_remove = &WaylandClient::onGlobalRemove,
    };
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &listener, this);
    // Without an application (the probe before it exists) there is no loop to read in.
    if (!QCoreApplication::instance()) return;
    readable_ =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(display_), QSocketNotifier::Read);
    connect(readable_.get(), &QSocketNotifier::activated, this, &WaylandClient::readEvents);
    // Whatever the handlers asked for leaves before the loop sleeps.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &WaylandClient::dispatchQueued);
}

WaylandClient::~WaylandClient() {
    readable_.reset();
    wl_registry_destroy(registry_);
    wl_display_disconnect(display_);
}

void WaylandClient::onGlobal(void* data, wl_registry*, std::uint32_t name, const char* interface,
                             std::uint32_t version) {
    static_cast<WaylandClient*>(data)->globals_.push_back({name, interface, version});
}

void WaylandClient::onGlobalRemove(void* data, wl_registry*, std::uint32_t name) {
    auto& globals = static_cast<WaylandClient*>(data)->globals_;
    std::erase_if(globals, [name](const Global& global) { return global.name == name; });
}

bool WaylandClient::Offers(const char* interface) const {
    return std::any_of(globals_.begin(), globals_.end(),
                       [interface](const Global& global) { return global.interface == interface; });
}

void* WaylandClient::Bind(const wl_interface* interface, std::uint32_t maxVersion) {
    for (const Global& global : globals_) {
        if (global.interface != interface->name) continue;
        return wl_registry_bind(registry_, global.name, interface,
                                std::min(global.version, maxVersion));
    }
    return nullptr;
}

bool WaylandClient::Roundtrip() {
    if (lost_) return false;
    if (wl_display_roundtrip(display_) >= 0) return true;
    loseConnection();
    return false;
}

void WaylandClient::Flush() {
    // A full socket (EAGAIN) keeps the rest for the next flush, after the next events.
    if (!lost_ && wl_display_flush(display_) < 0 && errno != EAGAIN) loseConnection();
}

void WaylandClient::readEvents() {
    if (lost_) return;
    // Reading is refused while read events wait in the queue: those are dispatched first.
    while (wl_display_prepare_read(display_) != 0) {
        if (wl_display_dispatch_pending(display_) < 0) return loseConnection();
    }
    // The socket is readable, so this does not block; a closed one fails here.
    if (wl_display_read_events(display_) < 0) return loseConnection();
    dispatchQueued();
}

void WaylandClient::dispatchQueued() {
    if (lost_) return;
    if (wl_display_dispatch_pending(display_) < 0) return loseConnection();
    Flush();
}

void WaylandClient::loseConnection() {
    if (lost_) return;
    lost_ = true;
    if (readable_) readable_->setEnabled(false);
    emit lost();
}

}  // namespace tavello
