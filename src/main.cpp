// TAVELLO: a photo-album screen saver. The screen-saver host starts it with "/S" (show),
// "/C" (settings) or "/A" (change password); anything else ends at once. The X11 hosts start it
// as a hack, with -root or -window-id, to draw into a window of theirs. Run by hand,
// "tavello --add-to-xscreensaver" adds it to the user's xscreensaver list.

#include "dialog/DialogEntry.h"
#include "host/AddToXScreensaver.h"
#include "platform/EndSignals.h"
#include "platform/Password.h"
#include "platform/Paths.h"
#include "saver/SaverEntry.h"
#include "startup/DisplayCheck.h"
#include "startup/HackStart.h"
#include "startup/Start.h"
#include "startup/SystemServices.h"
#include "toolkit/Toolkit.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The window system is only reached when a mode needs a window, so a refused start ("/P", a
// second instance) ends at once even where no display can be opened.
class LazyApp {
  public:
    LazyApp(int& argc, char** argv) : argc_(argc), argv_(argv) {}
    QApplication& get() {
        if (!app_) {
            // Without a display the toolkit would abort; one clear line and status 1 instead.
            if (!tavello::ReachDisplayOrSay()) std::exit(1);
            app_ = std::make_unique<QApplication>(argc_, argv_);
            app_->setApplicationName(QStringLiteral("TAVELLO"));
            // The program speaks Japanese whatever the locale, and so do the toolkit's own
            // dialogs (file dialog buttons, message box buttons).
            if (translator_.load(QStringLiteral("qtbase_ja"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
                app_->installTranslator(&translator_);
        }
        return *app_;
    }

  private:
    int& argc_;
    char** argv_;
    QTranslator translator_;
    std::unique_ptr<QApplication> app_;
};

// Brings up the window system before the password dialogs need it.
class PasswordWithApp final : public tavello::PasswordService {
  public:
    PasswordWithApp(LazyApp& app, tavello::PasswordService& inner) : app_(app), inner_(inner) {}
    std::int32_t VerifyScreenSavePwd(QWidget* window) override {
        app_.get();
        return inner_.VerifyScreenSavePwd(window);
    }
    std::int32_t PwdChangePasswordA(const QString& provider, std::int32_t handle, std::int32_t r1,
                                    std::int32_t r2) override {
        app_.get();
        return inner_.PwdChangePasswordA(provider, handle, r1, r2);
    }

  private:
    LazyApp& app_;
    tavello::PasswordService& inner_;
};

}  // namespace

int main(int argc, char** argv) {
    // Goes last: after a caught SIGTERM, SIGINT or SIGHUP, everything below is cleaned up first.
    tavello::DieByCaughtSignal dieBySignal;
    // Before anything reads it (the sound library, the toolkit) and before any thread starts.
    tavello::AdoptUserRuntimeFolder();
    if (argc > 1 && std::strcmp(argv[1], tavello::kAddToXScreensaverOption) == 0)
        return tavello::RunAddToXScreensaver(argc, argv);

    // The command line as the host passed it, before the toolkit takes any options out of it.
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    if (const auto hack =
            tavello::ParseHackOptions(args, qEnvironmentVariable("XSCREENSAVER_WINDOW")))
        return tavello::RunHack(*hack, argv[0]);

    LazyApp app(argc, argv);
    tavello::Services services = tavello::SystemServices();
    PasswordWithApp password(app, *services.password);
    services.password = &password;

    // Log-out and shutdown (SIGTERM, SIGHUP) and Ctrl+C end the show and the dialog as their own
    // close does: music stopped and closed, nothing written. Only these two modes catch them, so
    // the password dialog and the modes that end at once keep the default end.
    std::unique_ptr<tavello::EndSignals> endSignals;
    auto endOnSignals = [&] {
        tavello::EndSignals::Catch();
        QApplication& application = app.get();
        endSignals = std::make_unique<tavello::EndSignals>();
        QObject::connect(endSignals.get(), &tavello::EndSignals::requested, &application,
                         &QApplication::closeAllWindows);
    };

    int status = 0;
    tavello::StartDeps deps;
    deps.instance = services.instance;
    deps.registry = services.registry;
    deps.password = services.password;
    deps.loadSaverWindow = [&] {
        endOnSignals();
        status = tavello::LoadSaverWindow(services, tavello::PasswordFlag);
    };
    deps.showSettingsDialog = [&] {
        tavello::PreferSmallScreenUpdates();
        endOnSignals();
        app.get().setQuitOnLastWindowClosed(true);
        tavello::ShowSettingsDialog(services);
    };

    const tavello::StartMode mode = tavello::Start(tavello::CommandLineFromArgs(args), deps);
    // Only the settings dialog keeps the program alive after start-up; the show has already run.
    return mode == tavello::StartMode::Configure ? app.get().exec() : status;
}
