#include "saver/HostLayout.h"

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

}  // namespace

bool PlaysMusic(HostTarget target, bool namedOnCommandLine, bool smallPaneInAWindow) {
    return target != HostTarget::HostWindow || !(namedOnCommandLine || smallPaneInAWindow);
}

HostLayout PlanHostLayout(const QRect& window, const QList<QRect>& monitors) {
    HostLayout layout;
    layout.size = window.size();
    if (monitors.isEmpty() || window.isEmpty()) return layout;
    layout.monitor = MonitorOf(window, monitors);
    const QRect& monitor = monitors.at(layout.monitor);
    if (window.height() < monitor.height())
        layout.sizeScale = static_cast<double>(window.height()) / monitor.height();
    return layout;
}

}  // namespace tavello
