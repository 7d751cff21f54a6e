#pragma once

#include "saver/ShowDesk.h"

namespace tavello {

// The desk on a Wayland compositor without the layer shell: the toolkit's own full-screen windows,
// the show's on the first monitor, a black cover on each other one. Nothing can be held there; the
// show losing its activation to another window counts as input.
std::unique_ptr<ShowDesk> MakeWaylandWindowDesk(DeskRequest request);

}  // namespace tavello
