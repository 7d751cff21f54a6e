#pragma once

#include "platform/Services.h"

#include <cstdint>

namespace tavello {

// "/S": loads the saver window and runs the show. Returns once the show has ended and the window
// has been unloaded; the caller then ends the program.
void LoadSaverWindow(const Services& services, std::int16_t passwordFlag);

}  // namespace tavello
