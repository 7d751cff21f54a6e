#include "idle/IdleWatcher.h"

#include "platform/IdleMonitor.h"

#include <cstdio>

namespace tavello {

namespace {

// A show asked to end cleans up (music stopped, windows closed) within a moment; one that has
// not ended after this long is killed so that the watcher's own end is never held up.
constexpr std::chrono::seconds kShowEndGrace{5};

}  // namespace

IdleWatcher::IdleWatcher(IdleMonitor& monitor, const QString& program, const QStringList& arguments,
                         QObject* parent)
    : QObject(parent), monitor_(monitor) {
    show_.setProgram(program);
    show_.setArguments(arguments);
    // The show speaks to the same terminal or session log as the watcher.
    show_.setProcessChannelMode(QProcess::ForwardedChannels);
    connect(&monitor_, &IdleMonitor::idled, this, &IdleWatcher::onIdled);
    connect(&show_, &QProcess::finished, this, &IdleWatcher::onShowEnded);
    connect(&show_, &QProcess::errorOccurred, this, &IdleWatcher::onShowFailed);
    killTimer_.setSingleShot(true);
    connect(&killTimer_, &QTimer::timeout, &show_, &QProcess::kill);
}

void IdleWatcher::Start(std::chrono::milliseconds idleTime) {
    monitor_.Watch(idleTime);
}

void IdleWatcher::Stop(int status) {
    if (stopping_) return;
    stopping_ = true;
    status_ = status;
    if (show_.state() == QProcess::NotRunning) {
        // Reported from the event loop, which may not be running yet.
        QMetaObject::invokeMethod(this, &IdleWatcher::finish, Qt::QueuedConnection);
        return;
    }
    show_.terminate();
    killTimer_.start(kShowEndGrace);
}

void IdleWatcher::onIdled() {
    if (stopping_ || show_.state() != QProcess::NotRunning) return;
    show_.start();
}

void IdleWatcher::onShowEnded() {
    if (stopping_) finish();
}

void IdleWatcher::onShowFailed(QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    std::fprintf(stderr, "%s\n",
                 QStringLiteral("TAVELLO: ショーを始められません（%1）。")
                     .arg(show_.errorString())
                     .toLocal8Bit()
                     .constData());
}

void IdleWatcher::finish() {
    killTimer_.stop();
    emit finished(status_);
}

}  // namespace tavello
