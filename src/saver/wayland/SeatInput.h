#pragma once

#include <QPoint>
#include <cstdint>
#include <functional>

struct wl_keyboard;
struct wl_pointer;
struct wl_seat;
struct wl_surface;

namespace tavello {

// Input on the desk's surfaces, as the show hears it.
struct SeatEvents {
    std::function<void()> keyDown;
    std::function<void()> mouseDown;
    std::function<void(QPoint global)> mouseMove;
    // Where a surface of the desk stands on the whole desk.
    std::function<QPoint(wl_surface*)> origin;
};

// The seat's keyboard and pointer, taken as the seat offers them. Over the desk's surfaces the
// pointer shows no arrow.
class SeatInput {
  public:
    SeatInput(wl_seat* seat, std::uint32_t version, SeatEvents events);
    ~SeatInput();
    SeatInput(const SeatInput&) = delete;
    SeatInput& operator=(const SeatInput&) = delete;

    // Called by the listeners.
    void Capabilities(std::uint32_t capabilities);
    void Key(std::uint32_t state);
    void Entered(std::uint32_t serial, wl_surface* surface, QPoint local);
    void Moved(QPoint local);
    void Button(std::uint32_t state);

  private:
    QPoint Global(QPoint local) const;

    wl_seat* seat_;
    std::uint32_t version_;
    SeatEvents events_;
    wl_keyboard* keyboard_ = nullptr;
    wl_pointer* pointer_ = nullptr;
    wl_surface* under_ = nullptr;  // the surface the pointer is over
    QPoint rest_;                  // where it was last, on the whole desk
};

}  // namespace tavello
