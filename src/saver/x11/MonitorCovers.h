#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QScreen;
class QWidget;

namespace tavello {

// The show's window and its covers: above everything, outside the window manager's hands, no
// frame.
inline constexpr Qt::WindowFlags kDeskWindowFlags = Qt::Window | Qt::FramelessWindowHint |
                                                    Qt::WindowStaysOnTopHint |
                                                    Qt::X11BypassWindowManagerHint;

// The show's own input handlers, which input on a cover reaches.
struct CoverInput {
    std::function<void()> keyDown;
    std::function<void()> mouseDown;
    std::function<void(QPoint global)> mouseMove;  // the position on the whole desk, in pixels
};

// A black window without a cursor above everything on every monitor but the show's own, so no
// open window of the desk stays in sight. Monitors plugged in or removed while the show runs are
// covered or uncovered as the window system reports them.
class MonitorCovers : public QObject {
    Q_OBJECT
  public:
    // showScreen is the monitor the show stands on; it is left alone (nullptr covers them all).
    MonitorCovers(QScreen* showScreen, CoverInput input, QObject* parent = nullptr);
    ~MonitorCovers() override;

    // The covers now on the screen.
    QList<QWidget*> windows() const;

  signals:
    // A cover came or went.
    void coversChanged();

  private:
    void cover(QScreen* screen);
    void uncover(QScreen* screen);

    struct Cover;
    QPointer<QScreen> showScreen_;
    CoverInput input_;
    std::vector<std::unique_ptr<Cover>> covers_;
};

}  // namespace tavello
