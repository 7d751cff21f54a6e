#include "platform/linux/IdleSources.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace tavello {

namespace {

using std::chrono::milliseconds;

const QString kService = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString kPath = QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");
const QString kInterface = QStringLiteral("org.gnome.Mutter.IdleMonitor");

// GNOME's idle monitor on the session bus: an idle watch fires each time the session has been
// idle for its time, a user-active watch once at the next input. It counts every input and knows
// nothing of the programs' idle inhibitors (GNOME keeps those to its own blanking).
class MutterIdleMonitor final : public IdleMonitor {
    Q_OBJECT
  public:
    MutterIdleMonitor()
        : bus_(QDBusConnection::sessionBus()),
          monitor_(kService, kPath, kInterface, bus_),
          owner_(kService, bus_, QDBusServiceWatcher::WatchForUnregistration) {
        bus_.connect(kService, kPath, kInterface, QStringLiteral("WatchFired"), this,
                     SLOT(onWatchFired(uint)));
        connect(&owner_, &QDBusServiceWatcher::serviceUnregistered, this, &IdleMonitor::lost);
    }
    ~MutterIdleMonitor() override { removeWatches(); }

    void Watch(milliseconds timeout) override {
        removeWatches();
        addWatch(monitor_.asyncCall(QStringLiteral("AddIdleWatch"),
                                    QVariant::fromValue<quint64>(timeout.count())),
                 &idleWatch_);
    }

  private slots:
    void onWatchFired(uint id) {
        if (id == 0) return;
        if (id == idleWatch_) {
            emit idled();
            addWatch(monitor_.asyncCall(QStringLiteral("AddUserActiveWatch")), &activeWatch_);
        } else if (id == activeWatch_) {
            activeWatch_ = 0;
            emit resumed();
        } else {
            // Input may come before the reply naming the user-active watch.
            firedEarly_ = id;
        }
    }

  private:
    void addWatch(const QDBusPendingCall& call, uint* id) {
        auto* watcher = new QDBusPendingCallWatcher(call, this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, id, watcher] {
            watcher->deleteLater();
            const QDBusPendingReply<uint> reply = *watcher;
            if (reply.isError()) return emit lost();
            *id = reply.value();
            if (*id == firedEarly_) onWatchFired(*id);
        });
    }

    void removeWatches() {
        for (uint* id : {&idleWatch_, &activeWatch_}) {
            if (*id) monitor_.call(QDBus::NoBlock, QStringLiteral("RemoveWatch"), *id);
            *id = 0;
        }
        firedEarly_ = 0;
    }

    QDBusConnection bus_;
    QDBusInterface monitor_;
    QDBusServiceWatcher owner_;
    uint idleWatch_ = 0;
    uint activeWatch_ = 0;
    uint firedEarly_ = 0;
};

}  // namespace

bool MutterIdleMonitorOnBus() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(kService).value();
}

std::unique_ptr<IdleMonitor> MakeMutterIdleMonitor() {
    return std::make_unique<MutterIdleMonitor>();
}

}  // namespace tavello

#include "MutterIdleMonitor.moc"
