#pragma once

#include "startup/HackOptions.h"

namespace tavello {

// Runs the show as a screen-saver host's hack, as the options say, until the host ends it.
// Returns the program's exit status: 0, or 1 when the host's window does not exist.
int RunHack(const HackOptions& options, char* programName);

}  // namespace tavello
