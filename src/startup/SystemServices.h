#pragma once

#include "platform/Services.h"

namespace tavello {

// The real services of this platform, music included, as start-up hands them to the windows.
Services SystemServices();

}  // namespace tavello
