#pragma once

#include "saver/ShowDesk.h"
#include "saver/wayland/DeskChoice.h"

#include <memory>

class QTemporaryFile;

namespace tavello {

// The show's start in a Wayland session, decided before the application object exists.
struct WaylandShowStart {
    DeskKind kind = DeskKind::X11;
    // The monitors as the offscreen platform is to see them; needed until the application exists.
    std::shared_ptr<QTemporaryFile> screens;
};

// Asks the session's compositor what it offers and sets the toolkit's platform for the desk
// chosen: offscreen under the layer shell (the desk paints on its own surfaces), Wayland otherwise.
// Outside a Wayland session, or where its compositor does not answer, leaves everything to X11.
WaylandShowStart PrepareWaylandShow();

// The desk of a Wayland kind.
DeskFactory WaylandDeskFactory(DeskKind kind);

}  // namespace tavello
