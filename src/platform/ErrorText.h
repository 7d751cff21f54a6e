#pragma once

#include <QString>

namespace tavello {

// What a system error code means, in Japanese, for messages to the user. The C library's own
// texts follow the locale and are often English or "Unknown error", so the common codes have
// texts of our own; any other code is named by its number.
QString SystemErrorText(int error);

}  // namespace tavello
