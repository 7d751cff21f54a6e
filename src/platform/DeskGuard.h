#pragma once

#include <QList>
#include <functional>

class QWidget;

namespace tavello {

// What keeps the desk out of reach while a locked show runs: the keyboard and pointer grabs, and
// the show's windows above every other window.
class DeskGuard {
  public:
    virtual ~DeskGuard() = default;

    // Takes the keyboard (pointer) for the shown top-level window. Input meant for another window
    // of this program (a cover, the password prompt) still reaches it; everything else goes to
    // the window. False when another program holds the grab. Taking it again replaces the grab
    // without letting go in between.
    virtual bool GrabKeyboard(QWidget* window) = 0;
    virtual bool GrabPointer(QWidget* window) = 0;
    // Lets go of both grabs.
    virtual void ReleaseInput() = 0;

    // Calls changed whenever a window is mapped, raised or lowered on the display; an empty
    // function stops the watch.
    virtual void WatchStacking(std::function<void()> changed) = 0;
    // True when the windows, bottom first, stand in this order above every visible window of
    // other programs.
    virtual bool OnTopInOrder(const QList<QWidget*>& windows) = 0;
    // Raises the windows one after the other, so the last ends on top.
    virtual void RaiseInOrder(const QList<QWidget*>& windows) = 0;

    // Calls lost(window, how) when a shown top-level window of this program leaves the screen
    // without the program hiding it: another program unmapped it or put it into a window of its
    // own (Unmapped), or destroyed it. An empty function stops the watch.
    enum class Loss { Unmapped, Destroyed };
    virtual void WatchOwnWindows(std::function<void(QWidget*, Loss)> lost) = 0;
    // Puts a window that is no longer seen back on the screen: out of any other window, mapped
    // and raised; the toolkit still takes it for shown.
    virtual void MapAgain(QWidget* window) = 0;
};

DeskGuard& SystemDeskGuard();

}  // namespace tavello
