#pragma once

#include <QPoint>
#include <functional>
#include <memory>

class QWidget;

namespace tavello {

class DeskGuard;

// What the desk hears on the show's behalf: input anywhere on it, and the loss of what it holds.
struct DeskEvents {
    std::function<void()> keyDown;
    std::function<void()> mouseDown;
    std::function<void(QPoint global)> mouseMove;  // the position on the whole desk, in pixels
    // Another program took the show's input or its place on the screen, and the desk took them
    // back: the show takes the keyboard again unless its prompt has it.
    std::function<void()> retaken;
    // The show's window is gone for good.
    std::function<void()> lost;
};

// Where the show stands: the desk puts its window up over the whole screen, covers every other
// monitor, and keeps it all there while the show runs. With the password on it also holds the
// keyboard, the pointer and the top of the stacking. The show decides what its window shows;
// the desk, of whatever window system, only places and holds it.
class ShowDesk {
  public:
    virtual ~ShowDesk() = default;
    // Puts the show's window up, full screen on the main monitor, and covers the rest.
    virtual void PutUp() = 0;
    // Gives the show's window the keyboard (and with the password on, the whole hold) again.
    virtual void TakeInput() = 0;
    // Lets the keyboard go, so the password prompt can have it.
    virtual void LetKeyboardGo() = 0;
};

// What a desk is made for: the show's window, whether the password holds the desk, the window
// system's grabs and stacking, and where to report.
struct DeskRequest {
    QWidget* window = nullptr;
    bool holdInput = false;
    DeskGuard* guard = nullptr;
    DeskEvents events;
};
using DeskFactory = std::function<std::unique_ptr<ShowDesk>(DeskRequest request)>;

}  // namespace tavello
