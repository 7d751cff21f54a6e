#pragma once

#include "platform/Services.h"

#include <cstdint>

namespace tavello {

// "/S": loads the saver window and runs the show. Returns once the show has ended and the window
// has been unloaded, with the program's exit status: 1 when the show lost its window for good.
int LoadSaverWindow(const Services& services, std::int16_t passwordFlag);

}  // namespace tavello
