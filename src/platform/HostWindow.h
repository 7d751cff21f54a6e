#pragma once

#include <QObject>
#include <QRect>
#include <QWidget>
#include <memory>
#include <optional>

namespace tavello {

// Windows of another program, a screen-saver host, that the show draws into. Needs the
// application object; destroy it after the widgets embedded with it.
class HostWindows : public QObject {
    Q_OBJECT
  public:
    // The root window of the display's default screen; 0 where there is none.
    virtual WId RootWindow() = 0;
    // The window's place in root coordinates; nothing when it does not exist.
    virtual std::optional<QRect> Geometry(WId window) = 0;
    // Whether the window stands on its own on the screen (a child of the root window) rather
    // than inside another window, as a preview pane in a settings window does.
    virtual bool IsTopLevel(WId window) = 0;
    // Makes widget's window a child of host, so it draws inside it and goes when it goes.
    virtual void EmbedInto(QWidget& widget, WId host) = 0;
    // From now on reports when host changes its size and when it is destroyed.
    virtual void Watch(WId host) = 0;

  signals:
    void resized(QSize size);
    void gone();
};

std::unique_ptr<HostWindows> MakeSystemHostWindows();

}  // namespace tavello
