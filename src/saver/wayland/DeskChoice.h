#pragma once

#include <QByteArray>

namespace tavello {

// Where the show stands: on X11 (also XWayland), on the compositor's overlay layer, or in the
// toolkit's full-screen Wayland windows where the compositor offers no layer shell.
enum class DeskKind { X11, LayerShell, WaylandWindows };

// What the session tells before the toolkit starts.
struct WaylandSession {
    bool named = false;       // the environment says the session is Wayland
    bool reached = false;     // its compositor answered
    bool layerShell = false;  // and offers the layer shell
};

// True when WAYLAND_DISPLAY is set or the session type says wayland.
bool NamesWaylandSession(const QByteArray& waylandDisplay, const QByteArray& sessionType);

DeskKind ChooseDeskKind(const WaylandSession& session);

}  // namespace tavello
