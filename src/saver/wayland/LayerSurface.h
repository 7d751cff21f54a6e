#pragma once

#include "saver/wayland/ShmBuffers.h"

#include <QImage>
#include <QSize>
#include <functional>

struct wl_callback;
struct wl_surface;
struct zwlr_layer_surface_v1;

namespace tavello {

class WaylandClient;
class WaylandGlobals;
struct WaylandOutput;

// What a monitor's surface needs from the desk: what to paint, and what to say.
struct LayerSurfaceUse {
    std::function<void(QImage&)> paint;
    std::function<void(QSize)> sized;  // the compositor gave the surface its size
    std::function<void()> closed;      // the compositor took the surface away
};

// A surface over one whole monitor on the compositor's overlay layer, above every window and
// panel, taking the keyboard. It paints when asked, at most once per frame the compositor shows.
class LayerSurface {
  public:
    LayerSurface(WaylandClient& connection, WaylandGlobals& globals, WaylandOutput& output,
                 LayerSurfaceUse use);
    ~LayerSurface();
    LayerSurface(const LayerSurface&) = delete;
    LayerSurface& operator=(const LayerSurface&) = delete;

    WaylandOutput& output() const { return output_; }
    wl_surface* surface() const { return surface_; }
    QSize size() const { return size_; }
    // Paints again as soon as the compositor is ready for it.
    void Repaint();

    // Called by the listeners.
    void Configured(std::uint32_t serial, QSize size);
    void Closed();
    void FrameDone();

  private:
    void Paint();

    WaylandClient& connection_;
    WaylandOutput& output_;
    LayerSurfaceUse use_;
    wl_surface* surface_ = nullptr;
    zwlr_layer_surface_v1* layer_ = nullptr;
    wl_callback* frame_ = nullptr;
    ShmBuffers buffers_;
    QSize size_;
    bool configured_ = false;
    bool dirty_ = true;
};

}  // namespace tavello
