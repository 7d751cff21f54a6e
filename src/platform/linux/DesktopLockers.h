#pragma once

#include "platform/DesktopLock.h"

namespace tavello {

// What the session offers to lock it.
struct LockerOffer {
    bool lockCommand = false;             // the user gave one (--lock)
    bool freedesktopScreenSaver = false;  // org.freedesktop.ScreenSaver on the session bus (KDE)
    bool gnomeScreenSaver = false;        // org.gnome.ScreenSaver on the session bus (GNOME)
};

enum class LockerKind { Command, FreedesktopScreenSaver, GnomeScreenSaver, LoginSession };

// The user's own command wins: it was asked for. Then the desktop's locker, then logind's
// lock-session, which locks wherever a locker listens to it.
LockerKind ChooseLocker(const LockerOffer& offer);

}  // namespace tavello
