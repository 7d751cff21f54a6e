#pragma once

#include "platform/DeskGuard.h"

#include <QObject>
#include <functional>

class QWidget;

namespace tavello {

// Keeps the show's windows (the show, the covers, the password prompt) on the screen while the
// show runs. A window another program unmaps is mapped again at once; one it destroys is made
// anew. Either way the show then takes its input and the top of the desk again, as the loss took
// the grabs with it. Driven by the window system's events alone.
class ShowKeeper : public QObject {
    Q_OBJECT
  public:
    // retake: takes the grabs and raises the show again. failed: a destroyed window could not be
    // made again, so the show cannot go on.
    ShowKeeper(DeskGuard& guard, std::function<void()> retake, std::function<void()> failed);
    ~ShowKeeper() override;

    int windowsBroughtBack() const { return broughtBack_; }

  private:
    void Lost(QWidget* window, DeskGuard::Loss how);

    DeskGuard& guard_;
    std::function<void()> retake_;
    std::function<void()> failed_;
    int broughtBack_ = 0;
};

// Makes the widget's window anew after its old one was destroyed behind the toolkit's back, with
// the same place, size and state; false when no new window could be made.
bool RecreateWindow(QWidget& widget);

}  // namespace tavello
