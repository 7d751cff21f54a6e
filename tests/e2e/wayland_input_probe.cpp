// Input through KWin's fake-input protocol, which has no tool of its own: "key" presses and
// releases the key A; "move" moves the pointer by a few pixels for each line read, staying
// connected, as KWin's pointer lasts as long as its fake device. Exits 1 when the compositor does
// not offer the protocol.
#include "kde-fake-input-client.h"

#include <wayland-client.h>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::uint32_t kKeyA = 30;  // the evdev code

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) != 0 || version < 4) return;
    *static_cast<org_kde_kwin_fake_input**>(data) = static_cast<org_kde_kwin_fake_input*>(
        wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener kListener = {OnGlobal, OnGlobalRemove};

}  // namespace

int main(int argc, char** argv) {
    const bool move = argc > 1 && std::strcmp(argv[1], "move") == 0;
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return 1;
    org_kde_kwin_fake_input* input = nullptr;
    wl_registry_add_listener(wl_display_get_registry(display), &kListener, &input);
    wl_display_roundtrip(display);
    if (!input) return 1;
    org_kde_kwin_fake_input_authenticate(input, "tavello tests", "input to end the show");
    char line[16];
    if (move) {
        while (std::fgets(line, sizeof line, stdin) && wl_display_roundtrip(display) >= 0)
            org_kde_kwin_fake_input_pointer_motion(input, wl_fixed_from_int(3),
                                                   wl_fixed_from_int(2));
    } else {
        org_kde_kwin_fake_input_keyboard_key(input, kKeyA, WL_KEYBOARD_KEY_STATE_PRESSED);
        org_kde_kwin_fake_input_keyboard_key(input, kKeyA, WL_KEYBOARD_KEY_STATE_RELEASED);
    }
    const int status = wl_display_roundtrip(display) < 0 ? 1 : 0;
    wl_display_disconnect(display);
    return status;
}
