#include "host/HostLayout.h"

#include <algorithm>
#include <cmath>

namespace tavello {

namespace {

qint64 Area(const QRect& rect) {
    return rect.isEmpty() ? 0 : qint64{rect.width()} * rect.height();
}

int MonitorOf(const QRect& window, const QList<QRect>& monitors) {
    for (int i = 0; i < monitors.size(); ++i)
        if (monitors.at(i).contains(window.center())) return i;
    int best = 0;
    qint64 bestArea = 0;
    for (int i = 0; i < monitors.size(); ++i) {
        const qint64 area = Area(monitors.at(i).intersected(window));
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    return best;
}

QSize LargestMonitor(const QList<QRect>& monitors) {
    QSize largest(0, 0);
    for (const QRect& monitor : monitors)
        if (Area(monitor) > qint64{largest.width()} * largest.height()) largest = monitor.size();
    return largest;
}

}  // namespace

bool PlaysMusic(HostTarget target, bool namedOnCommandLine, bool smallPaneInAWindow) {
    return target != HostTarget::HostWindow || !(namedOnCommandLine || smallPaneInAWindow);
}

HostLayout PlanHostLayout(const QRect& window, const QList<QRect>& monitors) {
    HostLayout layout;
    layout.size = window.size();
    layout.drawn = window.size();
    if (monitors.isEmpty() || window.isEmpty()) return layout;
    layout.monitor = MonitorOf(window, monitors);
    const QSize largest = LargestMonitor(monitors);
    const double upscale = std::max({1.0, static_cast<double>(window.width()) / largest.width(),
                                     static_cast<double>(window.height()) / largest.height()});
    if (upscale > 1) {
        layout.drawn = QSize(std::max(1, static_cast<int>(std::lround(window.width() / upscale))),
                             std::max(1, static_cast<int>(std::lround(window.height() / upscale))));
        layout.upscale = upscale;
    }
    const QRect& monitor = monitors.at(layout.monitor);
    if (layout.drawn.height() < monitor.height())
        layout.sizeScale = static_cast<double>(layout.drawn.height()) / monitor.height();
    return layout;
}

QRect VisiblePart(const QRect& window, const QList<QRect>& monitors) {
    QRect desk;
    for (const QRect& monitor : monitors) desk = desk.united(monitor);
    return window.intersected(desk).translated(-window.topLeft());
}

}  // namespace tavello
