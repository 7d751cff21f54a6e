#include "startup/HostEntry.h"

#include "music/SharedMusic.h"
#include "platform/EndSignals.h"
#include "platform/HostWindow.h"
#include "platform/MusicLock.h"
#include "platform/RegularFile.h"
#include "saver/HostShow.h"
#include "saver/PictureOrder.h"
#include "saver/ShowWaiter.h"
#include "settings/SettingsFile.h"
#include "startup/DisplayCheck.h"
#include "startup/SystemServices.h"
#include "startup/XScreensaverList.h"

#include <QApplication>
#include <QScreen>
#include <cstdio>

namespace tavello {

namespace {

QList<QRect> Monitors() {
    QList<QRect> monitors;
    for (const QScreen* screen : QGuiApplication::screens()) monitors << screen->geometry();
    return monitors;
}

// The folder xscreensaver's own picture hacks show, from the user's ~/.xscreensaver; "" when
// there is none.
QString XScreensaverImageFolder() {
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) return {};
    constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
    const std::optional<QByteArray> file =
        ReadRegularFile(home + QStringLiteral("/.xscreensaver"), kMaxFileBytes);
    if (!file) return {};
    return XScreensaverImageDirectory(*file, home).value_or(QString());
}

}  // namespace

int RunHack(const HackOptions& options, char* programName) {
    // The host may end us at any moment from now on: the show is closed cleanly first, and the
    // process then dies by the host's signal.
    EndSignals::Catch();
    if (!options.display.isEmpty()) qputenv("DISPLAY", options.display.toLocal8Bit());
    // The hosts' windows are X11 windows, whatever session the toolkit would otherwise pick.
    if (!ReachDisplayOrSay()) return 1;
    // The toolkit sees none of the hosts' options (it would read -visual and -display itself).
    int argc = 1;
    char* argv[] = {programName, nullptr};
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("TAVELLO"));
    app.setQuitOnLastWindowClosed(false);

    const Services services = SystemServices();
    SharedMusicMci music(*services.mci, SystemMusicLock());
    SilentMci silence;
    const std::unique_ptr<HostWindows> windows = MakeSystemHostWindows();
    EventLoopWaiter waiter;
    ClockSeededRandom random(static_cast<std::uint64_t>(QCoreApplication::applicationPid()));

    HostShowDeps deps;
    deps.saver.services = services;
    deps.saver.waiter = &waiter;
    deps.saver.random = &random;
    deps.saver.settingsPath = SettingsPath();
    deps.music = &music;
    deps.silence = &silence;
    deps.windows = windows.get();
    deps.monitors = Monitors();
    deps.imageFolder = XScreensaverImageFolder();

    HostRequest request;
    request.target = options.target;
    request.window = options.window;
    request.namedOnCommandLine = options.namedOnCommandLine;
    HostShow show(deps, request);
    if (!show.ready()) {
        std::fprintf(stderr, "tavello: no window 0x%lx to draw into\n",
                     static_cast<unsigned long>(options.window));
        return 1;
    }
    show.Run();
    return 0;
}

}  // namespace tavello
