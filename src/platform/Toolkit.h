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

// The shortest interval the classic platform's timers deliver (about 64 ticks a second);
// shorter requests are raised to it so animations keep their intended pace.
inline constexpr int kTimerFloorMs = 16;
int TimerInterval(int requestedMs);

}  // namespace tavello
