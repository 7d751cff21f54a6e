#include "saver/wayland/SeatInput.h"

#include <unistd.h>
#include <wayland-client.h>

namespace tavello {

namespace {

SeatInput* Of(void* data) {
    return static_cast<SeatInput*>(data);
}

void OnCapabilities(void* data, wl_seat* /*seat*/, std::uint32_t capabilities) {
    Of(data)->Capabilities(capabilities);
}
void OnSeatName(void* /*data*/, wl_seat* /*seat*/, const char* /*name*/) {}
const wl_seat_listener kSeatListener = {OnCapabilities, OnSeatName};

// The keyboard: any key pressed is input; the keymap is not needed.
void OnKeymap(void* /*data*/, wl_keyboard* /*keyboard*/, std::uint32_t /*format*/, std::int32_t fd,
              std::uint32_t /*size*/) {
    close(fd);
}
void OnKeyboardEnter(void* /*data*/, wl_keyboard* /*keyboard*/, std::uint32_t /*serial*/,
                     wl_surface* /*surface*/, wl_array* /*keys*/) {}
void OnKeyboardLeave(void* /*data*/, wl_keyboard* /*keyboard*/, std::uint32_t /*serial*/,
                     wl_surface* /*surface*/) {}
void OnKey(void* data, wl_keyboard* /*keyboard*/, std::uint32_t /*serial*/, std::uint32_t /*time*/,
           std::uint32_t /*key*/, std::uint32_t state) {
    Of(data)->Key(state);
}
void OnModifiers(void* /*data*/, wl_keyboard* /*keyboard*/, std::uint32_t /*serial*/,
                 std::uint32_t /*depressed*/, std::uint32_t /*latched*/, std::uint32_t /*locked*/,
                 std::uint32_t /*group*/) {}
void OnRepeatInfo(void* /*data*/, wl_keyboard* /*keyboard*/, std::int32_t /*rate*/,
                  std::int32_t /*delay*/) {}
const wl_keyboard_listener kKeyboardListener = {OnKeymap, OnKeyboardEnter, OnKeyboardLeave,
                                                OnKey,    OnModifiers,     OnRepeatInfo};

// The pointer: entering says where it rests, moving from there and pressing are input.
void OnPointerEnter(void* data, wl_pointer* /*pointer*/, std::uint32_t serial, wl_surface* surface,
                    wl_fixed_t x, wl_fixed_t y) {
    Of(data)->Entered(serial, surface, QPoint(wl_fixed_to_int(x), wl_fixed_to_int(y)));
}
void OnPointerLeave(void* /*data*/, wl_pointer* /*pointer*/, std::uint32_t /*serial*/,
                    wl_surface* /*surface*/) {}
void OnMotion(void* data, wl_pointer* /*pointer*/, std::uint32_t /*time*/, wl_fixed_t x,
              wl_fixed_t y) {
    Of(data)->Moved(QPoint(wl_fixed_to_int(x), wl_fixed_to_int(y)));
}
void OnButton(void* data, wl_pointer* /*pointer*/, std::uint32_t /*serial*/, std::uint32_t /*time*/,
              std::uint32_t /*button*/, std::uint32_t state) {
    Of(data)->Button(state);
}
void OnAxis(void* /*data*/, wl_pointer* /*pointer*/, std::uint32_t /*time*/, std::uint32_t /*axis*/,
            wl_fixed_t /*value*/) {}
void OnFrame(void* /*data*/, wl_pointer* /*pointer*/) {}
void OnAxisSource(void* /*data*/, wl_pointer* /*pointer*/, std::uint32_t /*source*/) {}
void OnAxisStop(void* /*data*/, wl_pointer* /*pointer*/, std::uint32_t /*time*/,
                std::uint32_t /*axis*/) {}
void OnAxisDiscrete(void* /*data*/, wl_pointer* /*pointer*/, std::uint32_t /*axis*/,
                    std::int32_t /*discrete*/) {}
void OnAxisValue120(void* /*data*/, wl_pointer* /*pointer*/, std::uint32_t /*axis*/,
                    std::int32_t /*value120*/) {}
const wl_pointer_listener kPointerListener = {
    OnPointerEnter, OnPointerLeave, OnMotion,   OnButton,       OnAxis,
    OnFrame,        OnAxisSource,   OnAxisStop, OnAxisDiscrete, OnAxisValue120};

}  // namespace

SeatInput::SeatInput(wl_seat* seat, std::uint32_t version, SeatEvents events)
    : seat_(seat), version_(version), events_(std::move(events)) {
    if (seat_) wl_seat_add_listener(seat_, &kSeatListener, this);
}

SeatInput::~SeatInput() {
    Capabilities(0);
}

void SeatInput::Capabilities(std::uint32_t capabilities) {
    const bool releases = version_ >= WL_KEYBOARD_RELEASE_SINCE_VERSION;
    const bool keys = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    const bool pointing = capabilities & WL_SEAT_CAPABILITY_POINTER;
    if (keys && !keyboard_) {
        keyboard_ = wl_seat_get_keyboard(seat_);
        wl_keyboard_add_listener(keyboard_, &kKeyboardListener, this);
    } else if (!keys && keyboard_) {
        releases ? wl_keyboard_release(keyboard_) : wl_keyboard_destroy(keyboard_);
        keyboard_ = nullptr;
    }
    if (pointing && !pointer_) {
        pointer_ = wl_seat_get_pointer(seat_);
        wl_pointer_add_listener(pointer_, &kPointerListener, this);
    } else if (!pointing && pointer_) {
        releases ? wl_pointer_release(pointer_) : wl_pointer_destroy(pointer_);
        pointer_ = nullptr;
        under_ = nullptr;
    }
}

void SeatInput::Key(std::uint32_t state) {
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED && events_.keyDown) events_.keyDown();
}

void SeatInput::Entered(std::uint32_t serial, wl_surface* surface, QPoint local) {
    under_ = surface;
    wl_pointer_set_cursor(pointer_, serial, nullptr, 0, 0);
    // A surface put up under a resting pointer is entered without a move; a compositor may also
    // repeat that place as a motion, which is no move either.
    rest_ = Global(local);
}

void SeatInput::Moved(QPoint local) {
    const QPoint global = Global(local);
    if (global == rest_) return;
    rest_ = global;
    if (events_.mouseMove) events_.mouseMove(global);
}

QPoint SeatInput::Global(QPoint local) const {
    return (under_ && events_.origin ? events_.origin(under_) : QPoint()) + local;
}

void SeatInput::Button(std::uint32_t state) {
    if (state == WL_POINTER_BUTTON_STATE_PRESSED && events_.mouseDown) events_.mouseDown();
}

}  // namespace tavello
