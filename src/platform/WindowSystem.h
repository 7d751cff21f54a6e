#pragma once

#include <QString>

namespace tavello {

// What stands between the program and a window that someone can see.
struct WindowSystemProblem {
    enum class Kind {
        None,              // the X display answers; the toolkit will use it
        NoDisplay,         // no display is named (DISPLAY unset)
        Unreachable,       // the named display cannot be reached
        NoSuchScreen,      // the display answers but has no screen of the number named
        InvisiblePlatform  // the toolkit was asked for a platform nobody can see
    };
    Kind kind = Kind::None;
    QString name;    // the display tried, or the platform asked for
    QString reason;  // the display server's own words when it turned the program away
    int screen = 0;  // the screen number named, for NoSuchScreen
};

// The check's own connection to the display, to be dropped once the toolkit has made its own:
// an X server whose last client leaves resets, and a connection made during the reset fails.
class DisplayHold {
  public:
    DisplayHold() = default;
    ~DisplayHold();
    DisplayHold(const DisplayHold&) = delete;
    DisplayHold& operator=(const DisplayHold&) = delete;
    void Hold(void* connection);
    void Release();

  private:
    void* connection_ = nullptr;
};

// Before the application object exists: makes the toolkit run on X11 (XWayland in a Wayland
// session) whatever platform the session prefers, and tells whether an X display and the screen
// it names can be opened; when they can, their connection is left in the hold.
// A platform without a screen (offscreen, minimal) is refused rather than run on in secret.
WindowSystemProblem UseX11Display(DisplayHold& hold);

}  // namespace tavello
