#include "toolkit/Toolkit.h"

#include <QtGlobal>

namespace tavello {

void PreferSmallScreenUpdates() {
    // Each shared-memory transfer waits for the X server's completion event, a thread wake-up
    // per banner tick; a plain transfer of the strip's few kilobytes is cheaper.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
}

}  // namespace tavello
