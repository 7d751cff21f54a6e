#pragma once

#include "host/HackOptions.h"

namespace tavello {

// Start-up of a screen-saver host's hack: makes the application object and the services, then
// hands over to the hosted show. Returns the program's exit status: 0, or 1 when no display can
// be reached or the host's window does not exist.
int RunHack(const HackOptions& options, char* programName);

}  // namespace tavello
