#include "toolkit/GuiTicket.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace tavello {

void GuiTicket::post(std::function<void()> call) const {
    // The application lives as long as the event loop that would run the call.
    QCoreApplication* const app = QCoreApplication::instance();
    if (!app) return;
    QMetaObject::invokeMethod(
        app,
        [alive = alive_, call = std::move(call)] {
            if (*alive) call();
        },
        Qt::QueuedConnection);
}

}  // namespace tavello
