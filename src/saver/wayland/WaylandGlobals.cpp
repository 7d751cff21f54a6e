#include "saver/wayland/WaylandGlobals.h"

#include "wlr-layer-shell-unstable-v1-client.h"

#include <wayland-client.h>
#include <algorithm>
#include <cstring>

namespace tavello {

namespace {

// The versions the desk speaks; an older compositor's own version is taken when lower.
constexpr std::uint32_t kCompositorVersion = 4;
constexpr std::uint32_t kSeatVersion = 5;
constexpr std::uint32_t kOutputVersion = 3;
constexpr std::uint32_t kLayerShellVersion = 4;

void OnGlobal(void* data, wl_registry* /*registry*/, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    static_cast<WaylandGlobals*>(data)->Announced(name, interface, version);
}

void OnGlobalRemove(void* data, wl_registry* /*registry*/, std::uint32_t name) {
    static_cast<WaylandGlobals*>(data)->Removed(name);
}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

WaylandOutput* Of(void* data) {
    return static_cast<WaylandOutput*>(data);
}

void OnGeometry(void* data, wl_output* /*output*/, std::int32_t x, std::int32_t y,
                std::int32_t /*mmWidth*/, std::int32_t /*mmHeight*/, std::int32_t /*subpixel*/,
                const char* /*make*/, const char* /*model*/, std::int32_t transform) {
    Of(data)->position = QPoint(x, y);
    // The transforms 90, 270 and their flipped forms are the odd ones.
    Of(data)->rotated = (transform % 2) == 1;
}

void OnMode(void* data, wl_output* /*output*/, std::uint32_t flags, std::int32_t width,
            std::int32_t height, std::int32_t /*refresh*/) {
    if (flags & WL_OUTPUT_MODE_CURRENT) Of(data)->mode = QSize(width, height);
}

void OnDone(void* data, wl_output* /*output*/) {
    Of(data)->owner->Described(Of(data));
}

void OnScale(void* data, wl_output* /*output*/, std::int32_t factor) {
    Of(data)->scale = std::max(1, factor);
}

// Names and descriptions come from version 4 on, which the desk does not ask for.
void OnText(void* /*data*/, wl_output* /*output*/, const char* /*text*/) {}

const wl_output_listener kOutputListener = {OnGeometry, OnMode, OnDone, OnScale, OnText, OnText};

template <typename T>
T* Bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface,
        std::uint32_t offered, std::uint32_t wanted) {
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

void Release(wl_output* output) {
    if (wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(output);
    else
        wl_output_destroy(output);
}

}  // namespace

QRect WaylandOutput::Logical() const {
    const QSize pixels = rotated ? mode.transposed() : mode;
    return QRect(position, pixels / scale);
}

WaylandGlobals::WaylandGlobals(wl_display* display) : registry_(wl_display_get_registry(display)) {
    wl_registry_add_listener(registry_, &kRegistryListener, this);
}

WaylandGlobals::~WaylandGlobals() {
    for (const auto& output : outputs_) Release(output->output);
    if (layerShell) zwlr_layer_shell_v1_destroy(layerShell);
    if (seat && seatVersion >= WL_SEAT_RELEASE_SINCE_VERSION)
        wl_seat_release(seat);
    else if (seat)
        wl_seat_destroy(seat);
    if (shm) wl_shm_destroy(shm);
    if (compositor) wl_compositor_destroy(compositor);
    wl_registry_destroy(registry_);
}

void WaylandGlobals::Announced(std::uint32_t name, const char* interface, std::uint32_t version) {
    const auto is = [interface](const wl_interface& known) {
        return std::strcmp(interface, known.name) == 0;
    };
    if (is(wl_compositor_interface) && !compositor) {
        compositor = Bind<wl_compositor>(registry_, name, &wl_compositor_interface, version,
                                         kCompositorVersion);
    } else if (is(wl_shm_interface) && !shm) {
        shm = Bind<wl_shm>(registry_, name, &wl_shm_interface, version, 1);
    } else if (is(wl_seat_interface) && !seat) {
        seatVersion = std::min(version, kSeatVersion);
        seat = Bind<wl_seat>(registry_, name, &wl_seat_interface, version, kSeatVersion);
    } else if (is(zwlr_layer_shell_v1_interface) && !layerShell) {
        layerShellOffered = true;
        layerShell = Bind<zwlr_layer_shell_v1>(registry_, name, &zwlr_layer_shell_v1_interface,
                                               version, kLayerShellVersion);
    } else if (is(wl_output_interface)) {
        auto entry = std::make_unique<WaylandOutput>();
        entry->owner = this;
        entry->name = name;
        entry->output =
            Bind<wl_output>(registry_, name, &wl_output_interface, version, kOutputVersion);
        wl_output_add_listener(entry->output, &kOutputListener, entry.get());
        outputs_.push_back(std::move(entry));
    }
}

void WaylandGlobals::Removed(std::uint32_t name) {
    const auto found = std::find_if(outputs_.begin(), outputs_.end(),
                                    [name](const auto& output) { return output->name == name; });
    if (found == outputs_.end()) return;
    if ((*found)->described && outputRemoved) outputRemoved(found->get());
    Release((*found)->output);
    outputs_.erase(found);
}

void WaylandGlobals::Described(WaylandOutput* output) {
    // "done" also follows later changes (a new mode); only the first one announces the output.
    const bool first = !output->described;
    output->described = true;
    if (first && outputAdded) outputAdded(output);
}

}  // namespace tavello
