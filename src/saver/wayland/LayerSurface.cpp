#include "saver/wayland/LayerSurface.h"

#include "platform/linux/WaylandClient.h"
#include "saver/wayland/WaylandGlobals.h"
#include "wlr-layer-shell-unstable-v1-client.h"

#include <wayland-client.h>

namespace tavello {

namespace {

LayerSurface* Of(void* data) {
    return static_cast<LayerSurface*>(data);
}

void OnConfigure(void* data, zwlr_layer_surface_v1* /*layer*/, std::uint32_t serial,
                 std::uint32_t width, std::uint32_t height) {
    Of(data)->Configured(serial, QSize(static_cast<int>(width), static_cast<int>(height)));
}

void OnClosed(void* data, zwlr_layer_surface_v1* /*layer*/) {
    Of(data)->Closed();
}

const zwlr_layer_surface_v1_listener kLayerListener = {OnConfigure, OnClosed};

void OnFrameDone(void* data, wl_callback* /*callback*/, std::uint32_t /*time*/) {
    Of(data)->FrameDone();
}

const wl_callback_listener kFrameListener = {OnFrameDone};

constexpr std::uint32_t kAllEdges =
    ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;

}  // namespace

LayerSurface::LayerSurface(WaylandClient& connection, WaylandGlobals& globals,
                           WaylandOutput& output, LayerSurfaceUse use)
    : connection_(connection),
      output_(output),
      use_(std::move(use)),
      buffers_(globals.shm, [this] { Paint(); }) {
    surface_ = wl_compositor_create_surface(globals.compositor);
    layer_ = zwlr_layer_shell_v1_get_layer_surface(globals.layerShell, surface_, output.output,
                                                   ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "tavello");
    zwlr_layer_surface_v1_add_listener(layer_, &kLayerListener, this);
    // The whole monitor, whatever panels reserve, its size chosen by the compositor.
    zwlr_layer_surface_v1_set_size(layer_, 0, 0);
    zwlr_layer_surface_v1_set_anchor(layer_, kAllEdges);
    zwlr_layer_surface_v1_set_exclusive_zone(layer_, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        layer_, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    // The first commit, without a picture, asks for the size.
    wl_surface_commit(surface_);
    connection_.Flush();
}

LayerSurface::~LayerSurface() {
    if (frame_) wl_callback_destroy(frame_);
    zwlr_layer_surface_v1_destroy(layer_);
    wl_surface_destroy(surface_);
    connection_.Flush();
}

void LayerSurface::Repaint() {
    dirty_ = true;
    Paint();
}

void LayerSurface::Configured(std::uint32_t serial, QSize size) {
    zwlr_layer_surface_v1_ack_configure(layer_, serial);
    // Anchored on all edges the size is the monitor's; a compositor that leaves it open gets that.
    if (size.isEmpty()) size = output_.Logical().size();
    const bool resized = size != size_;
    size_ = size;
    configured_ = true;
    if (resized && use_.sized) use_.sized(size);
    Repaint();
}

void LayerSurface::Closed() {
    configured_ = false;
    if (use_.closed) use_.closed();
}

void LayerSurface::FrameDone() {
    wl_callback_destroy(frame_);
    frame_ = nullptr;
    Paint();
}

void LayerSurface::Paint() {
    if (!dirty_ || !configured_ || frame_ || size_.isEmpty()) return;
    ShmBuffer* buffer = buffers_.Free(size_);
    if (!buffer) return;  // painted once the compositor lets one go
    dirty_ = false;
    QImage image = buffer->Image();
    image.fill(Qt::black);
    if (use_.paint) use_.paint(image);
    buffer->busy = true;
    wl_surface_attach(surface_, buffer->buffer(), 0, 0);
    wl_surface_damage(surface_, 0, 0, size_.width(), size_.height());
    frame_ = wl_surface_frame(surface_);
    wl_callback_add_listener(frame_, &kFrameListener, this);
    wl_surface_commit(surface_);
    connection_.Flush();
}

}  // namespace tavello
