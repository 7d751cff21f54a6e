#pragma once

#include "platform/IdleMonitor.h"

#include <memory>

namespace tavello {

class WaylandClient;

// What a Wayland session offers to tell its idle time.
struct WaylandIdleOffer {
    bool seat = false;               // a wl_seat, whose input the two protocols watch
    bool extIdleNotifier = false;    // ext_idle_notifier_v1 (sway 1.8 and later, KWin 5.27)
    bool kdeIdle = false;            // org_kde_kwin_idle (older KWin and sway)
    bool mutterIdleMonitor = false;  // org.gnome.Mutter.IdleMonitor on the session bus (GNOME)
};

enum class WaylandIdleKind { None, ExtIdleNotify, KdeIdle, MutterIdleMonitor };

// The common protocol first, then KDE's, then GNOME's monitor, which sees every input too but
// ignores the programs' idle inhibitors.
WaylandIdleKind ChooseWaylandIdleSource(const WaylandIdleOffer& offer);

// The sources, one file each. The Wayland protocols' (ExtIdleNotify or KdeIdle) takes the
// connection that offered their globals.
std::unique_ptr<IdleMonitor> OpenXcbIdleMonitor(IdleSourceProblem* problem);
std::unique_ptr<IdleMonitor> MakeWaylandIdleMonitor(std::unique_ptr<WaylandClient> client,
                                                    WaylandIdleKind kind);
std::unique_ptr<IdleMonitor> MakeMutterIdleMonitor();
bool MutterIdleMonitorOnBus();

}  // namespace tavello
