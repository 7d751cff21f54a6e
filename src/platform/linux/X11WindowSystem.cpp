#include "platform/WindowSystem.h"

#include <fcntl.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <QByteArray>
#include <QList>

namespace tavello {

namespace {

// Platforms that run without anything on a screen: a show there would go unseen and keep the
// single-instance lock for good.
bool IsInvisible(const QByteArray& platform) {
    static const QList<QByteArray> invisible = {"offscreen", "minimal", "minimalegl"};
    return invisible.contains(platform.trimmed().toLower());
}

// The platforms asked for, each without its options ("offscreen:size=..." is offscreen).
QList<QByteArray> Requested(const QByteArray& value) {
    QList<QByteArray> names;
    for (const QByteArray& choice : value.split(';')) names << choice.split(':').front();
    return names;
}

// Whether a connection to the display can be made. The connection library writes a refusing
// server's reason straight to the error output; it is caught here, to become part of one line.
bool Connects(const QByteArray& display, QByteArray* reason) {
    int pipeEnds[2];
    const int savedError = ::dup(STDERR_FILENO);
    const bool caught = savedError >= 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) == 0;
    if (caught) ::dup2(pipeEnds[1], STDERR_FILENO);
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (caught) {
        ::dup2(savedError, STDERR_FILENO);
        ::close(pipeEnds[1]);
        char buffer[512];
        ssize_t got = 0;
        while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0 && reason->size() < 4096)
            reason->append(buffer, got);
        ::close(pipeEnds[0]);
    }
    if (savedError >= 0) ::close(savedError);
    return reached;
}

}  // namespace

WindowSystemProblem UseX11Display() {
    for (const QByteArray& platform : Requested(qgetenv("QT_QPA_PLATFORM"))) {
        if (IsInvisible(platform))
            return {
                WindowSystemProblem::Kind::InvisiblePlatform, QString::fromLocal8Bit(platform), {}};
    }
    // The show's hold on the desk and the hosts' windows are X11 things; a Wayland session
    // serves them through XWayland.
    qputenv("QT_QPA_PLATFORM", "xcb");
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) return {WindowSystemProblem::Kind::NoDisplay, {}, {}};
    QByteArray reason;
    const bool reached = Connects(display, &reason);
    if (!reached)
        return {WindowSystemProblem::Kind::Unreachable, QString::fromLocal8Bit(display),
                QString::fromLocal8Bit(reason.simplified())};
    return {};
}

}  // namespace tavello
