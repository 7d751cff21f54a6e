// Which source tells a Wayland desk's idle time, and which locker locks the session, from what
// the session offers.
#include "platform/linux/DesktopLockers.h"
#include "platform/linux/IdleSources.h"

#include <gtest/gtest.h>

namespace tavello {
namespace {

TEST(SessionChoice, WaylandIdleSource) {
    using K = WaylandIdleKind;
    struct Case {
        WaylandIdleOffer offer;  // seat, ext, kde, mutter
        K kind;
    } const cases[] = {
        {{true, true, true, true}, K::ExtIdleNotify},
        {{true, false, true, true}, K::KdeIdle},
        {{true, false, false, true}, K::MutterIdleMonitor},
        {{false, true, true, true}, K::MutterIdleMonitor},  // no seat to watch
        {{false, true, true, false}, K::None},
        {{true, false, false, false}, K::None},
    };
    for (const Case& c : cases) EXPECT_EQ(ChooseWaylandIdleSource(c.offer), c.kind);
}

TEST(SessionChoice, Locker) {
    using K = LockerKind;
    struct Case {
        LockerOffer offer;  // command, freedesktop, gnome
        K kind;
    } const cases[] = {
        {{true, true, true}, K::Command},
        {{false, true, true}, K::FreedesktopScreenSaver},
        {{false, false, true}, K::GnomeScreenSaver},
        {{false, false, false}, K::LoginSession},
    };
    for (const Case& c : cases) EXPECT_EQ(ChooseLocker(c.offer), c.kind);
}

}  // namespace
}  // namespace tavello
