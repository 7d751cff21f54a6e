#include "platform/linux/DesktopLockers.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QProcess>
#include <QTimer>

namespace tavello {

namespace {

using namespace std::chrono_literals;

const QString kFreedesktopService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kGnomeService = QStringLiteral("org.gnome.ScreenSaver");

// How often to ask whether the lock is up, for a desktop that neither delays its answer to Lock
// until then nor signals the change; and when to stop asking.
constexpr auto kActiveLook = 250ms;
constexpr auto kLockGiveUp = 15s;

// Calls the report once, whatever asks for it first.
class Report {
  public:
    void Set(std::function<void(bool)> done) { done_ = std::move(done); }
    bool Pending() const { return bool(done_); }
    void operator()(bool locked) {
        if (!done_) return;
        auto done = std::move(done_);
        done_ = nullptr;
        done(locked);
    }

  private:
    std::function<void(bool)> done_;
};

// A screen saver service on the session bus (KDE's and GNOME's speak the same calls): Lock, then
// the lock is up once GetActive says so or ActiveChanged(true) comes.
class ScreenSaverLock final : public DesktopLock {
    Q_OBJECT
  public:
    ScreenSaverLock(const QString& service, const QString& path)
        : saver_(service, path, service, QDBusConnection::sessionBus()) {
        QDBusConnection::sessionBus().connect(service, path, service,
                                              QStringLiteral("ActiveChanged"), this,
                                              SLOT(onActiveChanged(bool)));
        look_.setInterval(kActiveLook);
        connect(&look_, &QTimer::timeout, this, &ScreenSaverLock::askActive);
        giveUp_.setSingleShot(true);
        connect(&giveUp_, &QTimer::timeout, this, [this] { finish(false); });
    }

    void Lock(std::function<void(bool)> done) override {
        report_.Set(std::move(done));
        giveUp_.start(kLockGiveUp);
        onReply(saver_.asyncCall(QStringLiteral("Lock")), [this](const QDBusMessage& reply) {
            if (reply.type() == QDBusMessage::ErrorMessage) return finish(false);
            askActive();
            look_.start();
        });
    }

  private slots:
    void onActiveChanged(bool active) {
        if (active) finish(true);
    }

  private:
    void askActive() {
        onReply(saver_.asyncCall(QStringLiteral("GetActive")), [this](const QDBusMessage& reply) {
            const QDBusPendingReply<bool> active(reply);
            if (!active.isError() && active.value()) finish(true);
        });
    }

    template <typename Handler>
    void onReply(const QDBusPendingCall& call, Handler handler) {
        auto* watcher = new QDBusPendingCallWatcher(call, this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, handler] {
            watcher->deleteLater();
            handler(watcher->reply());
        });
    }

    void finish(bool locked) {
        look_.stop();
        giveUp_.stop();
        report_(locked);
    }

    QDBusInterface saver_;
    QTimer look_;
    QTimer giveUp_;
    Report report_;
};

// A program that returns once the lock is up (swaylock -f, loginctl lock-session).
class CommandLock final : public DesktopLock {
  public:
    explicit CommandLock(const QStringList& command) {
        if (!command.isEmpty()) {
            process_.setProgram(command.first());
            process_.setArguments(command.mid(1));
        }
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        connect(&process_, &QProcess::finished, this,
                [this](int code, QProcess::ExitStatus status) {
                    report_(status == QProcess::NormalExit && code == 0);
                });
        connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) report_(false);
        });
    }

    void Lock(std::function<void(bool)> done) override {
        report_.Set(std::move(done));
        if (process_.program().isEmpty()) {
            QTimer::singleShot(0, this, [this] { report_(false); });
            return;
        }
        process_.start();
    }

  private:
    QProcess process_;
    Report report_;
};

bool OnSessionBus(const QString& service) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(service).value();
}

}  // namespace

LockerKind ChooseLocker(const LockerOffer& offer) {
    if (offer.lockCommand) return LockerKind::Command;
    if (offer.freedesktopScreenSaver) return LockerKind::FreedesktopScreenSaver;
    if (offer.gnomeScreenSaver) return LockerKind::GnomeScreenSaver;
    return LockerKind::LoginSession;
}

std::unique_ptr<DesktopLock> OpenDesktopLock(const QString& lockCommand) {
    const LockerOffer offer{!lockCommand.trimmed().isEmpty(), OnSessionBus(kFreedesktopService),
                            OnSessionBus(kGnomeService)};
    switch (ChooseLocker(offer)) {
        case LockerKind::Command:
            return std::make_unique<CommandLock>(QProcess::splitCommand(lockCommand));
        case LockerKind::FreedesktopScreenSaver:
            return std::make_unique<ScreenSaverLock>(kFreedesktopService,
                                                     QStringLiteral("/ScreenSaver"));
        case LockerKind::GnomeScreenSaver:
            return std::make_unique<ScreenSaverLock>(kGnomeService,
                                                     QStringLiteral("/org/gnome/ScreenSaver"));
        case LockerKind::LoginSession:
            break;
    }
    return std::make_unique<CommandLock>(
        QStringList{QStringLiteral("loginctl"), QStringLiteral("lock-session")});
}

}  // namespace tavello

#include "DesktopLock.moc"
