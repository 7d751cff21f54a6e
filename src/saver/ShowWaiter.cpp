#include "saver/ShowWaiter.h"

#include "toolkit/Toolkit.h"

#include <QCoreApplication>
#include <QTimer>

namespace tavello {

void EventLoopWaiter::DoEvents() {
    tavello::DoEvents();
}

void EventLoopWaiter::WaitForEventsOr(int milliseconds) {
    // The timer's own event is what wakes the wait when nothing else happens.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(milliseconds);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace tavello
