#pragma once

#include "host/HackOptions.h"
#include "platform/Services.h"

namespace tavello {

// Runs the show as a screen-saver host's hack, as the options say, until the host ends it. The
// application object and the services are made by start-up before. Returns the program's exit
// status: 0, or 1 when the host's window does not exist.
int RunHostedShow(const HackOptions& options, const Services& services);

}  // namespace tavello
