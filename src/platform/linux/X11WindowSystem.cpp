#include "platform/WindowSystem.h"

#include <fcntl.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <QByteArray>
#include <QList>
#include <cstdlib>

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

// A connection to the display and the screen it names, or null with the connection library's
// error and the refusing server's reason. The library writes that reason straight to the error
// output; it is caught here, to become part of one line.
xcb_connection_t* Connect(const QByteArray& display, int* error, QByteArray* reason) {
    int pipeEnds[2];
    const int savedError = ::dup(STDERR_FILENO);
    const bool caught = savedError >= 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) == 0;
    if (caught) ::dup2(pipeEnds[1], STDERR_FILENO);
    // Asked for the screen number, the library also checks that the server has that screen.
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(display.constData(), &screen);
    *error = xcb_connection_has_error(connection);
    if (*error != 0) {
        xcb_disconnect(connection);
        connection = nullptr;
    }
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
    return connection;
}

int ScreenNumber(const QByteArray& display) {
    int screen = 0;
    char* host = nullptr;
    int number = 0;
    if (xcb_parse_display(display.constData(), &host, &number, &screen) == 0) return 0;
    free(host);
    return screen;
}

}  // namespace

WindowSystemProblem UseX11Display(DisplayHold& hold) {
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
    int error = 0;
    xcb_connection_t* connection = Connect(display, &error, &reason);
    // The toolkit would abort on a screen the server does not have.
    if (error == XCB_CONN_CLOSED_INVALID_SCREEN)
        return {WindowSystemProblem::Kind::NoSuchScreen,
                QString::fromLocal8Bit(display),
                {},
                ScreenNumber(display)};
    if (!connection)
        return {WindowSystemProblem::Kind::Unreachable, QString::fromLocal8Bit(display),
                QString::fromLocal8Bit(reason.simplified())};
    hold.Hold(connection);
    return {};
}

void DisplayHold::Hold(void* connection) {
    Release();
    connection_ = connection;
}

void DisplayHold::Release() {
    if (connection_) xcb_disconnect(static_cast<xcb_connection_t*>(connection_));
    connection_ = nullptr;
}

DisplayHold::~DisplayHold() {
    Release();
}

}  // namespace tavello
