#pragma once

#include <QString>

namespace tavello {

// What stands between the program and a window that someone can see.
struct WindowSystemProblem {
    enum class Kind {
        None,              // the X display answers; the toolkit will use it
        NoDisplay,         // no display is named (DISPLAY unset)
        Unreachable,       // the named display cannot be reached
        InvisiblePlatform  // the toolkit was asked for a platform nobody can see
    };
    Kind kind = Kind::None;
    QString name;    // the display tried, or the platform asked for
    QString reason;  // the display server's own words when it turned the program away
};

// Before the application object exists: makes the toolkit run on X11 (XWayland in a Wayland
// session) whatever platform the session prefers, and tells whether an X display can be opened.
// A platform without a screen (offscreen, minimal) is refused rather than run on in secret.
WindowSystemProblem UseX11Display();

}  // namespace tavello
