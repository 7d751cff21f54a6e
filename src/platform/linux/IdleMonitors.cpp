#include "platform/linux/IdleSources.h"
#include "platform/linux/WaylandClient.h"

#include <QtGlobal>

namespace tavello {

WaylandIdleKind ChooseWaylandIdleSource(const WaylandIdleOffer& offer) {
    if (offer.seat && offer.extIdleNotifier) return WaylandIdleKind::ExtIdleNotify;
    if (offer.seat && offer.kdeIdle) return WaylandIdleKind::KdeIdle;
    if (offer.mutterIdleMonitor) return WaylandIdleKind::MutterIdleMonitor;
    return WaylandIdleKind::None;
}

bool IdleFromWayland() {
    // In a Wayland session the X server (XWayland) sees only the input to X11 programs.
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

namespace {

std::unique_ptr<IdleMonitor> OpenWaylandIdleMonitor(IdleSourceProblem* problem) {
    std::unique_ptr<WaylandClient> client = WaylandClient::Connect();
    WaylandIdleOffer offer;
    if (client) {
        offer.seat = client->Offers("wl_seat");
        offer.extIdleNotifier = client->Offers("ext_idle_notifier_v1");
        offer.kdeIdle = client->Offers("org_kde_kwin_idle");
    }
    // Asked only when the compositor offers neither protocol: the bus may be slow to answer.
    if (!offer.seat || (!offer.extIdleNotifier && !offer.kdeIdle))
        offer.mutterIdleMonitor = MutterIdleMonitorOnBus();
    switch (const WaylandIdleKind kind = ChooseWaylandIdleSource(offer)) {
        case WaylandIdleKind::ExtIdleNotify:
        case WaylandIdleKind::KdeIdle:
            return MakeWaylandIdleMonitor(std::move(client), kind);
        case WaylandIdleKind::MutterIdleMonitor:
            return MakeMutterIdleMonitor();
        case WaylandIdleKind::None:
            break;
    }
    *problem = IdleSourceProblem::NoWaylandIdle;
    return nullptr;
}

}  // namespace

std::unique_ptr<IdleMonitor> OpenIdleMonitor(IdleSourceProblem* problem) {
    *problem = IdleSourceProblem::None;
    if (IdleFromWayland()) return OpenWaylandIdleMonitor(problem);
    return OpenXcbIdleMonitor(problem);
}

}  // namespace tavello
