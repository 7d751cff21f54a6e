// Input through mutter's remote desktop service on the session bus, where wtype finds no virtual
// keyboard: "key" presses and releases the key A, "move" moves the pointer by a few pixels. The
// session and its devices last only as long as this connection, so one run does it all. Exits 1
// when the service refuses.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QStringList>
#include <cstdio>

namespace {

const QString kService = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
constexpr uint kKeysymA = 0x61;

bool Done(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ErrorMessage) return true;
    std::fprintf(stderr, "%s\n", qPrintable(reply.errorMessage()));
    return false;
}

bool Send(QDBusInterface& session, bool move) {
    if (move) return Done(session.call(QStringLiteral("NotifyPointerMotionRelative"), 3.0, 2.0));
    return Done(session.call(QStringLiteral("NotifyKeyboardKeysym"), kKeysymA, true)) &&
           Done(session.call(QStringLiteral("NotifyKeyboardKeysym"), kKeysymA, false));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool move = app.arguments().value(1) == QStringLiteral("move");
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusInterface desktop(kService, QStringLiteral("/org/gnome/Mutter/RemoteDesktop"), kService,
                           bus);
    const QDBusReply<QDBusObjectPath> path = desktop.call(QStringLiteral("CreateSession"));
    if (!path.isValid()) return std::fprintf(stderr, "%s\n", qPrintable(path.error().message())), 1;
    QDBusInterface session(kService, path.value().path(), kService + QStringLiteral(".Session"),
                           bus);
    const bool sent = Done(session.call(QStringLiteral("Start"))) && Send(session, move);
    return sent && Done(session.call(QStringLiteral("Stop"))) ? 0 : 1;
}
