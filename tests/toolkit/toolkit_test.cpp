#include "toolkit/Toolkit.h"
#include "platform/Cursor.h"
#include "toolkit/AutoSizeLabel.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace tavello {
namespace {

TEST(AutoSizeLabelTest, FollowsItsCaptionAndFontUnlessFixed) {
    AutoSizeLabel label;
    label.setCaption(QStringLiteral("短い"));
    const QSize shortSize = label.size();
    label.setCaption(QStringLiteral("ずっと長い見出しのテキスト"));
    EXPECT_GT(label.width(), shortSize.width());
    const QSize at9 = label.size();
    label.setFontSize(48);
    EXPECT_GT(label.height(), at9.height());
    EXPECT_GT(label.width(), at9.width());

    label.setAutoSize(false);
    label.resize(40, 10);
    label.setCaption(QStringLiteral("もっともっと長い見出しのテキスト"));
    EXPECT_EQ(label.size(), QSize(40, 10));
}

TEST(AutoSizeLabelTest, UnusableFontSizesKeepAWorkingFont) {
    AutoSizeLabel label;
    label.setCaption("x");
    const double before = label.font().pointSizeF();
    label.setFontSize(0);
    EXPECT_EQ(label.font().pointSizeF(), before);
    label.setFontSize(-5);
    EXPECT_EQ(label.font().pointSizeF(), before);
    label.setFontSize(1e12);
    EXPECT_LE(label.font().pointSizeF(), 4096);
}

TEST(ToolkitTest, TimerKeepsTheClassicFloor) {
    const struct {
        int requested, expected;
    } cases[] = {{1, 16}, {0, 16}, {15, 16}, {16, 16}, {17, 17}, {1000, 1000}};
    for (const auto& c : cases) EXPECT_EQ(TimerInterval(c.requested), c.expected) << c.requested;
}

TEST(ToolkitTest, ScreenSizeIsPixelsTimesFifteen) {
    const QSize px = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(ScreenSizeTwips(), px * 15);
}

TEST(ToolkitTest, DoEventsRunsPendingHandlersAndReturns) {
    int ran = 0;
    QTimer::singleShot(0, [&] { ++ran; });
    QMetaObject::invokeMethod(
        qApp, [&] { ++ran; }, Qt::QueuedConnection);
    DoEvents();
    EXPECT_EQ(ran, 2);
}

TEST(CursorTest, HiddenWhileTheCounterIsBelowZero) {
    CursorService& cursor = SystemCursor();
    const auto overridden = [] {
        return QGuiApplication::overrideCursor() &&
               QGuiApplication::overrideCursor()->shape() == Qt::BlankCursor;
    };
    EXPECT_FALSE(overridden());
    EXPECT_EQ(cursor.ShowCursor(false), -1);
    EXPECT_TRUE(overridden());
    EXPECT_EQ(cursor.ShowCursor(true), 0);  // the show's end
    EXPECT_FALSE(overridden());
    EXPECT_EQ(cursor.ShowCursor(true), 1);  // an extra show never stacks a second cursor
    EXPECT_EQ(cursor.ShowCursor(false), 0);
    EXPECT_FALSE(overridden());
    EXPECT_EQ(cursor.ShowCursor(false), -1);
    EXPECT_EQ(cursor.ShowCursor(false), -2);
    EXPECT_EQ(cursor.ShowCursor(true), -1);
    EXPECT_TRUE(overridden());
    EXPECT_EQ(cursor.ShowCursor(true), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace tavello
