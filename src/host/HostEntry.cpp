#include "host/HostEntry.h"

#include "host/HostShow.h"
#include "host/SharedMusic.h"
#include "host/XScreensaverList.h"
#include "platform/HostWindow.h"
#include "platform/MusicLock.h"
#include "platform/RegularFile.h"
#include "saver/PictureOrder.h"
#include "saver/ShowWaiter.h"
#include "settings/SettingsFile.h"

#include <QGuiApplication>
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

int RunHostedShow(const HackOptions& options, const Services& services) {
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

    HostShow show(deps, options);
    if (!show.ready()) {
        std::fprintf(stderr, "tavello: no window 0x%lx to draw into\n",
                     static_cast<unsigned long>(options.window));
        return 1;
    }
    show.Run();
    return 0;
}

}  // namespace tavello
