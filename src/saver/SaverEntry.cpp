#include "saver/SaverEntry.h"

#include "loader/LoaderFolderScan.h"
#include "loader/PictureLoaderClient.h"
#include "saver/Form1.h"
#include "saver/PictureOrder.h"
#include "saver/ShowTimer.h"
#include "settings/SettingsFile.h"
#include "toolkit/Toolkit.h"

#include <QCoreApplication>

namespace tavello {

namespace {

class Saver final : public SaverRun {
  public:
    Saver(const Services& services, std::int16_t passwordFlag, DeskFactory desk) {
        SaverDeps deps;
        deps.services = services;
        deps.passwordFlag = passwordFlag;
        deps.timer = &timer_;
        deps.random = &random_;
        deps.screenTwips = ScreenSizeTwips();
        deps.settingsPath = SettingsPath();
        deps.desk = std::move(desk);
        // Pictures are listed and decoded in confined loader processes, never in the show's own.
        deps.pictures = &pictures_;
        deps.scanFolder = MakeLoaderFolderScan();
        form_ = std::make_unique<Form1>(deps);
        // Not quit(), which first asks every window to close and gives up when a host's window
        // (not ours to close) says no.
        QObject::connect(
            form_.get(), &Form1::showEnded, QCoreApplication::instance(),
            [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        form_->Form_Load();
    }
    int ExitStatus() const override { return form_->windowLost() ? 1 : 0; }

  private:
    EventLoopTimer timer_;
    ClockSeededRandom random_;
    PictureLoaderClient pictures_;  // outlives the show, which drops its last request at its end
    std::unique_ptr<Form1> form_;
};

}  // namespace

std::unique_ptr<SaverRun> LoadSaverWindow(const Services& services, std::int16_t passwordFlag,
                                          DeskFactory desk) {
    return std::make_unique<Saver>(services, passwordFlag, std::move(desk));
}

}  // namespace tavello
