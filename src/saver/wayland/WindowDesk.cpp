#include "saver/wayland/WindowDesk.h"

#include "saver/wayland/IdleResume.h"
#include "saver/x11/MonitorCovers.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tavello {

namespace {

class WindowDesk final : public QObject, public ShowDesk {
  public:
    explicit WindowDesk(DeskRequest request) : request_(std::move(request)) {
        request_.window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    }

    void PutUp() override {
        QWidget& window = *request_.window;
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            window.setScreen(screen);
            window.setGeometry(screen->geometry());
        }
        window.showFullScreen();
        CoverInput input{request_.events.keyDown, request_.events.mouseDown,
                         request_.events.mouseMove};
        covers_ = std::make_unique<MonitorCovers>(window.screen(), std::move(input));
        connect(covers_.get(), &MonitorCovers::coversChanged, this, &WindowDesk::FillScreens);
        FillScreens();
        connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
                &WindowDesk::StateChanged);
        TakeInput();
        idle_ = std::make_unique<IdleResume>(request_.events.keyDown);
    }

    void TakeInput() override {
        request_.window->activateWindow();
        request_.window->setFocus(Qt::ActiveWindowFocusReason);
    }

    // A Wayland desk is locked by the desktop's own locker; no prompt of the show asks here.
    void LetKeyboardGo() override {}

  private:
    // A cover is an ordinary window to the compositor until it asks for the whole screen.
    void FillScreens() {
        for (QWidget* cover : covers_->windows())
            if (!cover->isFullScreen()) cover->showFullScreen();
    }

    void StateChanged(Qt::ApplicationState state) {
        // Another window took the activation from the show's: as if the user had touched a key.
        if (state == Qt::ApplicationActive) {
            wasActive_ = true;
        } else if (wasActive_ && request_.events.keyDown) {
            request_.events.keyDown();
        }
    }

    DeskRequest request_;
    std::unique_ptr<MonitorCovers> covers_;
    std::unique_ptr<IdleResume> idle_;
    bool wasActive_ = false;
};

}  // namespace

std::unique_ptr<ShowDesk> MakeWaylandWindowDesk(DeskRequest request) {
    return std::make_unique<WindowDesk>(std::move(request));
}

}  // namespace tavello
