// The covers of the other monitors: black, cursor-less, above everything, and every touch on
// them handed to the show.

#include "saver/x11/MonitorCovers.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <functional>
#include <optional>

namespace tavello::test {
namespace {

// What reached the show.
struct Received {
    int keys = 0;
    int presses = 0;
    std::vector<QPoint> moves;
};

CoverInput InputInto(Received& r) {
    return CoverInput{
        [&r] { ++r.keys; },
        [&r] { ++r.presses; },
        [&r](QPoint p) { r.moves.push_back(p); },
    };
}

TEST(MonitorCovers, LeavesTheShowsOwnMonitorAlone) {
    Received received;
    MonitorCovers covers(QGuiApplication::primaryScreen(), InputInto(received));
    // The test platform has one monitor: nothing changes on a desk of one.
    EXPECT_TRUE(covers.windows().isEmpty());
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible());
}

TEST(MonitorCovers, CoverIsBlackCursorlessAndAboveEverything) {
    Received received;
    MonitorCovers covers(nullptr, InputInto(received));
    ASSERT_EQ(covers.windows().size(), 1);
    QWidget* cover = covers.windows().front();
    EXPECT_TRUE(cover->isVisible());
    EXPECT_EQ(cover->geometry(), QGuiApplication::primaryScreen()->geometry());
    const Qt::WindowFlags flags = cover->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::X11BypassWindowManagerHint));
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(cover->cursor().shape(), Qt::BlankCursor);
    EXPECT_EQ(cover->focusPolicy(), Qt::NoFocus);
    const QImage painted = cover->grab(QRect(0, 0, 8, 8)).toImage();
    EXPECT_EQ(painted.pixelColor(4, 4), QColor(Qt::black));
}

struct CoverInputCase {
    const char* name;
    std::function<void(QWidget*)> input;
    int keys;
    int presses;
    std::optional<QPoint> move;  // the desk position the show is told of
};

void MoveTo(QWidget* cover, QPoint global) {
    QMouseEvent move(QEvent::MouseMove, QPointF(cover->mapFromGlobal(global)), QPointF(global),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(cover, &move);
}

void Press(QWidget* cover, Qt::MouseButton button) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), cover->mapToGlobal(QPointF(5, 5)),
                      button, button, Qt::NoModifier);
    QApplication::sendEvent(cover, &press);
}

class CoverForwards : public ::testing::TestWithParam<CoverInputCase> {};

TEST_P(CoverForwards, EveryTouchToTheShow) {
    const CoverInputCase& c = GetParam();
    Received received;
    MonitorCovers covers(nullptr, InputInto(received));
    ASSERT_EQ(covers.windows().size(), 1);
    QWidget* cover = covers.windows().front();
    // Where a second monitor right of a 1024-pixel one stands.
    cover->move(1024, 0);
    c.input(cover);
    EXPECT_EQ(received.keys, c.keys);
    EXPECT_EQ(received.presses, c.presses);
    if (c.move) {
        ASSERT_EQ(received.moves.size(), 1u);
        EXPECT_EQ(received.moves.front(), *c.move);
    } else {
        EXPECT_TRUE(received.moves.empty());
    }
}

// A desk position on the cover, which has its own pixels start at 1024.
const QPoint kDeskPoint(1500, 300);

INSTANTIATE_TEST_SUITE_P(
    MonitorCovers, CoverForwards,
    ::testing::Values(CoverInputCase{"ShiftAlone",
                                     [](QWidget* w) { QTest::keyClick(w, Qt::Key_Shift); }, 1, 0,
                                     std::nullopt},
                      CoverInputCase{"Tab", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Tab); }, 1,
                                     0, std::nullopt},
                      CoverInputCase{"RightClick", [](QWidget* w) { Press(w, Qt::RightButton); }, 0,
                                     1, std::nullopt},
                      CoverInputCase{"MoveInDeskPixels", [](QWidget* w) { MoveTo(w, kDeskPoint); },
                                     0, 0, kDeskPoint}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavello::test
