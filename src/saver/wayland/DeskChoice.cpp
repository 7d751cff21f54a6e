#include "saver/wayland/DeskChoice.h"

namespace tavello {

bool NamesWaylandSession(const QByteArray& waylandDisplay, const QByteArray& sessionType) {
    return !waylandDisplay.isEmpty() || sessionType.trimmed().toLower() == "wayland";
}

DeskKind ChooseDeskKind(const WaylandSession& session) {
    // A Wayland session whose compositor cannot be reached may still serve X11 (XWayland).
    if (!session.named || !session.reached) return DeskKind::X11;
    return session.layerShell ? DeskKind::LayerShell : DeskKind::WaylandWindows;
}

}  // namespace tavello
