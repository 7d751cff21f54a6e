// TAVELLO: a photo-album screen saver. The screen-saver host starts it with "/S" (show),
// "/C" (settings) or "/A" (change password); anything else ends at once. The X11 hosts start it
// as a hack, with -root or -window-id, to draw into a window of theirs. Run by hand,
// "tavello --add-to-xscreensaver" adds it to the user's xscreensaver list; on a desk without a
// host, "tavello --idle TIME" runs the show after TIME without input, and
// "tavello --add-to-autostart [TIME]" has the session start that watcher.

#include "dialog/DialogEntry.h"
#include "host/AddToXScreensaver.h"
#include "idle/Autostart.h"
#include "idle/IdleOptions.h"
#include "loader/LoaderMain.h"
#include "password/DesktopLockPassword.h"
#include "password/UserReg.h"
#include "platform/EndSignals.h"
#include "platform/Paths.h"
#include "platform/SingleInstance.h"
#include "saver/SaverEntry.h"
#include "saver/wayland/WaylandShow.h"
#include "saver/x11/X11Desk.h"
#include "startup/DisplayCheck.h"
#include "startup/HackStart.h"
#include "startup/IdleStart.h"
#include "startup/Start.h"
#include "startup/SystemServices.h"
#include "toolkit/Toolkit.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstring>

int main(int argc, char** argv) {
    // The show's picture loader, confined, touches nothing of the program's own state.
    if (argc > 1 && std::strcmp(argv[1], tavello::kPictureLoaderOption) == 0)
        return tavello::RunPictureLoader(argc, argv);
    // Goes last: after a caught SIGTERM, SIGINT or SIGHUP, everything below is cleaned up first.
    tavello::DieByCaughtSignal dieBySignal;
    // Before anything reads it (the sound library, the toolkit) and before any thread starts.
    tavello::AdoptUserRuntimeFolder();
    if (argc > 1 && std::strcmp(argv[1], tavello::kAddToXScreensaverOption) == 0)
        return tavello::RunAddToXScreensaver(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], tavello::kIdleOption) == 0)
        return tavello::RunIdleWatcher(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], tavello::kAddToAutostartOption) == 0)
        return tavello::RunAddToAutostart(argc, argv);

    // The command line as the host passed it, before the toolkit takes any options out of it.
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    if (const auto hack =
            tavello::ParseHackOptions(args, qEnvironmentVariable("XSCREENSAVER_WINDOW")))
        return tavello::RunHack(*hack, argv[0]);

    // Decided before anything else is made or the window system reached, so that a refused start
    // ("/P", a second instance) ends at once even where no display can be opened.
    const tavello::StartDecision start =
        tavello::DecideStart(tavello::CommandLineFromArgs(args), tavello::SystemInstance());
    if (!tavello::NeedsWindow(start.mode)) return 0;
    tavello::Services services = tavello::SystemServices();

    const bool show = start.mode == tavello::StartMode::Show;
    const bool configure = start.mode == tavello::StartMode::Configure;
    if (configure) tavello::PreferSmallScreenUpdates();
    // Log-out and shutdown (SIGTERM, SIGHUP) and Ctrl+C end the show and the dialog as their own
    // close does: music stopped and closed, nothing written. Only these two modes catch them, so
    // the password dialog keeps the default end. Caught before the window system is reached.
    if (show || configure) tavello::EndSignals::Catch();

    // In a Wayland session the show stands on the compositor itself, never on XWayland. The
    // compositor is asked before the toolkit starts, as its answer decides the toolkit's platform.
    tavello::WaylandShowStart wayland;
    if (show) wayland = tavello::PrepareWaylandShow();
    const bool onWayland = wayland.kind != tavello::DeskKind::X11;
    // Without a display the toolkit would abort; one clear line and status 1 instead.
    tavello::DisplayHold displayHold;
    if (!onWayland && !tavello::ReachDisplayOrSay(displayHold)) return 1;
    QTranslator translator;
    // The toolkit sees none of the command line: its own options (-platform offscreen, -display)
    // would undo the display check above.
    int toolkitArgc = 1;
    char* toolkitArgv[] = {argv[0], nullptr};
    QApplication app(toolkitArgc, toolkitArgv);
    displayHold.Release();
    wayland.screens.reset();
    app.setApplicationName(QStringLiteral("TAVELLO"));
    // The program speaks Japanese whatever the locale, and so do the toolkit's own dialogs (file
    // dialog buttons, message box buttons).
    if (translator.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);

    if (!show && !configure) {
        tavello::ChangePassword(start, *services.password);
        return 0;
    }
    tavello::EndSignals endSignals;
    QObject::connect(&endSignals, &tavello::EndSignals::requested, &app,
                     &QApplication::closeAllWindows);
    // Either mode ends by EndProcess once its windows are gone: a worker still stuck on a share
    // that stopped answering cannot keep the process, and so the instance lock, alive.
    if (show) {
        // The show ends the event loop itself once it is over, also when its window was closed.
        app.setQuitOnLastWindowClosed(false);
        // A Wayland desk is never a lock: with the password switch on, the end of the show asks
        // the desktop's own locker (or the user's --lock command) and waits for the lock to be up.
        std::unique_ptr<tavello::DesktopLockPassword> lockHandOff;
        if (onWayland) {
            lockHandOff = std::make_unique<tavello::DesktopLockPassword>(
                *services.password, tavello::OpenDesktopLock(tavello::LockCommandOption(args)));
            services.password = lockHandOff.get();
        }
        auto saver =
            tavello::LoadSaverWindow(services, tavello::ReadScreenSaveUsePassword(),
                                     onWayland ? tavello::WaylandDeskFactory(wayland.kind)
                                               : tavello::DeskFactory(tavello::MakeX11Desk));
        app.exec();
        const int status = saver->ExitStatus();
        saver.reset();  // its windows, grabs and music
        tavello::EndProcess(status);
    }
    app.setQuitOnLastWindowClosed(true);
    tavello::ShowSettingsDialog(services);
    const int status = app.exec();
    // The closed dialog is deleted later, by the event loop that has just ended: now instead.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    tavello::EndProcess(status);
}
