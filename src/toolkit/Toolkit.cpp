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

int TimerInterval(int requestedMs) {
    return std::max(requestedMs, kTimerFloorMs);
}

}  // namespace tavello
