#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct zwlr_layer_shell_v1;

namespace tavello {

// One monitor as the compositor describes it.
class WaylandGlobals;

struct WaylandOutput {
    WaylandGlobals* owner = nullptr;
    wl_output* output = nullptr;
    std::uint32_t name = 0;  // its global's name in the registry
    QPoint position;         // where it stands on the desk
    QSize mode;              // its current mode, in pixels
    int scale = 1;
    bool rotated = false;  // turned a quarter: width and height swap
    bool described = false;
    // Its place on the desk in the compositor's own (logical) units.
    QRect Logical() const;
};

// The compositor's globals the desk uses, bound as they are announced. Monitors plugged in or
// removed later are reported once they are fully described, or before they go.
class WaylandGlobals {
  public:
    explicit WaylandGlobals(wl_display* display);
    ~WaylandGlobals();
    WaylandGlobals(const WaylandGlobals&) = delete;
    WaylandGlobals& operator=(const WaylandGlobals&) = delete;

    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    wl_seat* seat = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    std::uint32_t seatVersion = 0;
    bool layerShellOffered = false;

    // In the order the compositor announced them: the first is the main monitor.
    const std::vector<std::unique_ptr<WaylandOutput>>& outputs() const { return outputs_; }
    std::function<void(WaylandOutput*)> outputAdded;
    std::function<void(WaylandOutput*)> outputRemoved;

    // Called by the registry's listener.
    void Announced(std::uint32_t name, const char* interface, std::uint32_t version);
    void Removed(std::uint32_t name);
    void Described(WaylandOutput* output);

  private:
    wl_registry* registry_ = nullptr;
    std::vector<std::unique_ptr<WaylandOutput>> outputs_;
};

}  // namespace tavello
