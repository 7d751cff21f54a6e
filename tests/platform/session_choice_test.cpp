// Which source tells a Wayland desk's idle time, and which locker locks the session, from what
// the session offers.
#include "platform/linux/DesktopLockers.h"
#include "platform/linux/IdleSources.h"

#include <gtest/gtest.h>

#include <utility>

namespace tavello {
namespace {

TEST(SessionChoice, WaylandIdleSource) {
    using K = WaylandIdleKind;
    const std::pair<WaylandIdleOffer, K> cases[] = {
        // offer: seat, ext, kde, mutter
        {{true, true, true, true}, K::ExtIdleNotify},
        {{true, false, true, true}, K::KdeIdle},
        {{true, false, false, true}, K::MutterIdleMonitor},
        {{false, true, true, true}, K::MutterIdleMonitor},  // no seat to watch
        {{false, true, true, false}, K::None},
        {{true, false, false, false}, K::None},
    };
    for (const auto& [offer, kind] : cases) EXPECT_EQ(ChooseWaylandIdleSource(offer), kind);
}

TEST(SessionChoice, Locker) {
    using K = LockerKind;
    const std::pair<LockerOffer, K> cases[] = {
        // offer: command, freedesktop, gnome
        {{true, true, true}, K::Command},
        {{false, true, true}, K::FreedesktopScreenSaver},
        {{false, false, true}, K::GnomeScreenSaver},
        {{false, false, false}, K::LoginSession},
    };
    for (const auto& [offer, kind] : cases) EXPECT_EQ(ChooseLocker(offer), kind);
}

}  // namespace
}  // namespace tavello
