#pragma once

#include <QList>
#include <QRect>

namespace tavello {

// Where a screen-saver host wants the show drawn.
enum class HostTarget {
    HostWindow,  // a window of the host
    Root,        // the root window itself
    OwnWindow,   // a window of our own, for trying the show out
};

// Whether the show is heard: not in a settings preview. That is the host's window named on the
// command line (-window-id), or a window of the host that lies inside another window and is
// smaller than its monitor (the preview pane MATE's settings name through XSCREENSAVER_WINDOW).
bool PlaysMusic(HostTarget target, bool namedOnCommandLine, bool smallPaneInAWindow);

// How the show fits a window that a screen-saver host gives it.
struct HostLayout {
    QSize size;            // the window's size
    QSize drawn;           // the show's screen: the window's size, at most the largest monitor's
    double upscale = 1;    // window / drawn, the same both ways: how much the drawing is enlarged
    double sizeScale = 1;  // headline size and magnification: drawn height / monitor height
    int monitor = 0;       // the monitor under the window, in the toolkit's list order
};

// window: the window in root coordinates; monitors: each monitor's rectangle, in list order.
// The window's monitor is the one under its centre (else the one it overlaps most, else the
// first). The show is drawn at the window's size, or, where the window is wider or taller than
// the largest monitor, at the window's shape shrunk to fit that monitor and then enlarged: what
// it costs to draw never follows an absurd window size. A drawing smaller than its monitor shows
// the full screen's show scaled down by their heights; one as large or larger is not scaled.
HostLayout PlanHostLayout(const QRect& window, const QList<QRect>& monitors);

// The part of the window (in its own coordinates) that lies on the monitors: all of it that can
// be seen, and all that needs drawing.
QRect VisiblePart(const QRect& window, const QList<QRect>& monitors);

}  // namespace tavello
