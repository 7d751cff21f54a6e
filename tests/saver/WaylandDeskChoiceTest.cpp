#include "saver/wayland/DeskChoice.h"

#include <gtest/gtest.h>

namespace tavello {
namespace {

TEST(WaylandDeskChoice, StandsOnTheCompositorOnlyWhereItAnswers) {
    struct Row {
        const char* waylandDisplay;
        const char* sessionType;
        bool reached;
        bool layerShell;
        DeskKind kind;
    };
    const Row rows[] = {
        {"", "x11", false, false, DeskKind::X11},
        {"", "", true, true, DeskKind::X11},  // nothing names a Wayland session
        {"wayland-0", "", true, true, DeskKind::LayerShell},
        {"wayland-0", "wayland", true, false, DeskKind::WaylandWindows},
        {"", " Wayland", true, true, DeskKind::LayerShell},
        {"wayland-0", "wayland", false, true, DeskKind::X11},  // left to XWayland
    };
    for (const Row& row : rows) {
        const WaylandSession session{NamesWaylandSession(row.waylandDisplay, row.sessionType),
                                     row.reached, row.layerShell};
        EXPECT_EQ(ChooseDeskKind(session), row.kind)
            << row.waylandDisplay << "|" << row.sessionType << "|" << row.reached;
    }
}

}  // namespace
}  // namespace tavello
