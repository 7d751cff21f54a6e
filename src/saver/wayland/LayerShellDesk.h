#pragma once

#include "saver/ShowDesk.h"

namespace tavello {

// The desk on a compositor with the layer shell: a surface on the overlay layer over each monitor,
// the show's window painted into the main one's and black on the others, the keyboard and pointer
// on them heard as the show's input. The window itself lives on the toolkit's offscreen platform.
// When the compositor cannot be reached or offers no layer shell, the show hears its window lost.
std::unique_ptr<ShowDesk> MakeLayerShellDesk(DeskRequest request);

}  // namespace tavello
