#include "saver/x11/X11Desk.h"

#include "saver/x11/DeskHold.h"
#include "saver/x11/MonitorCovers.h"
#include "saver/x11/ShowKeeper.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tavello {

namespace {

class X11Desk final : public ShowDesk {
  public:
    explicit X11Desk(DeskRequest request) : request_(std::move(request)) {
        // Set before the window exists: a window that bypasses the window manager is made so.
        request_.window->setWindowFlags(kDeskWindowFlags);
    }

    ~X11Desk() override {
        keeper_.reset();
        hold_.reset();
        covers_.reset();
        request_.window->releaseKeyboard();
    }

    void PutUp() override {
        QWidget& window = *request_.window;
        // The geometry is given before showing, so the window covers the screen also where no
        // window manager would make it full-screen.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QPoint origin = screen ? screen->geometry().topLeft() : QPoint(0, 0);
        window.setGeometry(QRect(origin, window.size()));
        if (screen && screen->geometry().size() == window.size())
            window.showFullScreen();
        else
            window.show();
        Cover();
        TakeInput();
    }

    void TakeInput() override {
        QWidget& window = *request_.window;
        // Platforms without a window system (tests) have nothing to raise or grab.
        const bool windowed = QGuiApplication::platformName() != QStringLiteral("offscreen");
        if (windowed) window.raise();
        window.activateWindow();
        window.setFocus(Qt::ActiveWindowFocusReason);
        // With the password on, the hold takes the keyboard and the pointer instead.
        if (hold_)
            hold_->Hold();
        else if (windowed)
            window.grabKeyboard();
    }

    void LetKeyboardGo() override { request_.window->releaseKeyboard(); }

  private:
    void Cover() {
        // Input on another monitor is input to the show, with positions on the whole desk.
        CoverInput input;
        input.keyDown = request_.events.keyDown;
        input.mouseDown = request_.events.mouseDown;
        input.mouseMove = request_.events.mouseMove;
        covers_ = std::make_unique<MonitorCovers>(request_.window->screen(), std::move(input));
        if (request_.holdInput)
            hold_ = std::make_unique<DeskHold>(*request_.guard, request_.window,
                                               [this] { return covers_->windows(); });
        keeper_ = std::make_unique<ShowKeeper>(
            *request_.guard, [this] { Retake(); }, request_.events.lost);
    }

    // After another program took a window of the show off the screen and it came back.
    void Retake() {
        // While the password prompt asks, it keeps the focus; the hold alone is taken again.
        if (QApplication::activeModalWidget()) {
            if (hold_) hold_->Hold();
            return;
        }
        request_.events.retaken();
    }

    DeskRequest request_;
    std::unique_ptr<MonitorCovers> covers_;
    std::unique_ptr<DeskHold> hold_;
    std::unique_ptr<ShowKeeper> keeper_;
};

}  // namespace

std::unique_ptr<ShowDesk> MakeX11Desk(DeskRequest request) {
    return std::make_unique<X11Desk>(std::move(request));
}

}  // namespace tavello
