// Asks the session's locker to lock (the user's lock command, when one is given as the
// argument) and says "locked" once it reports the lock up, or "not locked"; exit status 0 or 1.
#include "platform/DesktopLock.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const std::unique_ptr<tavello::DesktopLock> lock = tavello::OpenDesktopLock(command);
    lock->Lock([](bool locked) {
        std::puts(locked ? "locked" : "not locked");
        QCoreApplication::exit(locked ? 0 : 1);
    });
    return app.exec();
}
