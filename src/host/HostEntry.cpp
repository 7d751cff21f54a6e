#include "host/HostEntry.h"

#include "host/HostShow.h"
#include "host/SharedMusic.h"
#include "host/XScreensaverList.h"
#include "loader/LoaderFolderScan.h"
#include "loader/PictureLoaderClient.h"
#include "platform/HostWindow.h"
#include "platform/MusicLock.h"
#include "platform/RegularFile.h"
#include "saver/PictureOrder.h"
#include "saver/ShowTimer.h"
#include "settings/SettingsFile.h"

#include <QCoreApplication>
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

namespace {

class Hack final : public HostedRun {
  public:
    Hack(const HackOptions& options, const Services& services)
        : music_(*services.mci, SystemMusicLock()),
          windows_(MakeSystemHostWindows()),
          random_(static_cast<std::uint64_t>(QCoreApplication::applicationPid())) {
        HostShowDeps deps;
        deps.saver.services = services;
        deps.saver.timer = &timer_;
        deps.saver.random = &random_;
        deps.saver.settingsPath = SettingsPath();
        deps.saver.pictures = &pictures_;
        deps.saver.scanFolder = MakeLoaderFolderScan();
        deps.music = &music_;
        deps.silence = &silence_;
        deps.windows = windows_.get();
        deps.monitors = Monitors();
        deps.imageFolder = XScreensaverImageFolder();
        show_ = std::make_unique<HostShow>(deps, options);
    }
    HostShow& show() { return *show_; }

  private:
    SharedMusicMci music_;
    SilentMci silence_;
    std::unique_ptr<HostWindows> windows_;
    EventLoopTimer timer_;
    ClockSeededRandom random_;
    PictureLoaderClient pictures_;  // outlives the show, which drops its last request at its end
    std::unique_ptr<HostShow> show_;
};

}  // namespace

std::unique_ptr<HostedRun> StartHostedShow(const HackOptions& options, const Services& services) {
    auto hack = std::make_unique<Hack>(options, services);
    if (!hack->show().ready()) {
        std::fprintf(stderr, "tavello: no window 0x%lx to draw into\n",
                     static_cast<unsigned long>(options.window));
        return nullptr;
    }
    // Not quit(), which first asks every window to close and gives up when a host's window
    // (not ours to close) says no.
    QObject::connect(
        hack->show().form(), &Form1::showEnded, QCoreApplication::instance(),
        [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    hack->show().Run();
    return hack;
}

}  // namespace tavello
