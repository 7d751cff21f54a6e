#pragma once

// Small services of the window toolkit that both windows rely on.

#include <QSize>
#include <QStringList>

namespace tavello {

inline constexpr int kTwipsPerPixel = 15;

// Runs the handlers of every pending window event, then returns.
void DoEvents();

// The primary screen's size in twips (pixels × 15).
QSize ScreenSizeTwips();

// The names of the fonts available for the screen, in the system's own order.
QStringList ScreenFonts();

// Before the application object exists: prefer the window system's plain image transfers, which
// cost less than shared-memory ones for a window whose only steady drawing is a small strip
// (the dialog's scrolling banner). The show, which puts up whole-screen pictures, keeps the
// default.
void PreferSmallScreenUpdates();

// The shortest interval the classic platform's timers deliver (about 64 ticks a second);
// shorter requests are raised to it so animations keep their intended pace.
inline constexpr int kTimerFloorMs = 16;
int TimerInterval(int requestedMs);

}  // namespace tavello
