#include "toolkit/Toolkit.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace tavello {

void DoEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

QSize ScreenSizeTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize pixels = screen ? screen->geometry().size() : QSize(0, 0);
    return pixels * kTwipsPerPixel;
}

QStringList ScreenFonts() {
    return QFontDatabase::families();
}

void PreferSmallScreenUpdates() {
    // Each shared-memory transfer waits for the X server's completion event, a thread wake-up
    // per banner tick; a plain transfer of the strip's few kilobytes is cheaper.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
}

int TimerInterval(int requestedMs) {
    return std::max(requestedMs, kTimerFloorMs);
}

}  // namespace tavello
