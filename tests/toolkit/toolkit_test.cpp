#include "toolkit/Toolkit.h"
#include "platform/Cursor.h"
#include "toolkit/AutoSizeLabel.h"
#include "toolkit/VisibleText.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
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

TEST(AutoSizeLabelTest, MarkupShowsAsTyped) {
    for (const char* typed : {"<s>2023</s> <i>photos</i>", "<b>bold</b>", "a &amp; b", "one<br>two",
                              "<h1>big</h1>", "<img src=\"photo.png\">"}) {
        SCOPED_TRACE(typed);
        const QString text = QString::fromUtf8(typed);
        AutoSizeLabel label;
        label.setCaption(text);
        const QFontMetrics metrics(label.font());
        // Markup read as such would drop the tags (narrower), or break or enlarge lines.
        EXPECT_EQ(label.height(), metrics.height());
        EXPECT_NEAR(label.width(), metrics.horizontalAdvance(text), 2);
        EXPECT_EQ(label.caption(), text);
    }
}

QString Numbers(int count, QChar separator) {
    QString text;
    for (int i = 0; i < count; ++i) text += QString::number(i) + separator;
    return text;
}

QString Repeated(const QString& piece, int times) {
    QString text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

// Where `part` lies in `line`: 0 at its start, 1 at its end, 0.5 in its middle; -1 when it is not
// there at the place its alignment gives.
double PlaceIn(const QString& line, const QString& part, Qt::Alignment alignment) {
    if (part == line) return 0.5;
    const qsizetype spare = line.size() - part.size();
    for (qsizetype start : {qsizetype(0), spare / 2 - 1, spare / 2, spare / 2 + 1, spare}) {
        const bool expected = (alignment & Qt::AlignRight)     ? start == spare
                              : (alignment & Qt::AlignHCenter) ? start != 0 && start != spare
                                                               : start == 0;
        if (expected && start >= 0 && line.mid(start, part.size()) == part)
            return spare == 0 ? 0.5 : double(start) / double(spare);
    }
    return -1;
}

TEST(VisibleTextTest, KeepsWhatCanShowAndOnlyThat) {
    const QSize area(400, 300);
    const QFont font(QStringLiteral("Sans"), 12);
    const QFontMetricsF metrics(font);
    const struct {
        const char* name;
        QString text;
        Qt::Alignment alignment;
        bool whole;  // comes back as it is
    } cases[] = {
        {"short", QStringLiteral("TAVELLO 2023"), Qt::AlignHCenter, true},
        {"a few short lines", QStringLiteral("one\ntwo\n\nthree"), Qt::AlignLeft, true},
        {"a line wider than the area, but short", Repeated("W", 300), Qt::AlignHCenter, true},
        {"long line, left", Numbers(100000, u' '), Qt::AlignLeft, false},
        {"long line, centred", Numbers(100000, u' '), Qt::AlignHCenter, false},
        {"long line, right", Numbers(100000, u' '), Qt::AlignRight, false},
        {"many lines", Numbers(100000, u'\n'), Qt::AlignHCenter, false},
        {"lines and a long one", "first\n" + Numbers(100000, u' ') + "\nlast", Qt::AlignHCenter,
         false},
        {"zero-width characters", QString(300000, QChar(0x200B)), Qt::AlignHCenter, false},
        {"characters of two units", Repeated(QStringLiteral("😀a"), 100000), Qt::AlignHCenter,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString shown = VisibleText(c.text, font, area, c.alignment);
        if (c.whole) {
            EXPECT_EQ(shown, c.text);
            continue;
        }
        EXPECT_LT(shown.size(), 400 * 1024);
        const QStringList lines = c.text.split(u'\n');
        const QStringList shownLines = shown.split(u'\n');
        ASSERT_LE(shownLines.size(), lines.size());
        // Lines are dropped only below the area's bottom.
        if (shownLines.size() < lines.size()) {
            EXPECT_GT(shownLines.size() * metrics.lineSpacing(), area.height());
        }
        for (qsizetype i = 0; i < shownLines.size(); ++i) {
            const QString& part = shownLines[i];
            const double place = PlaceIn(lines[i], part, c.alignment);
            ASSERT_GE(place, 0) << "line " << i;
            if (c.alignment & Qt::AlignHCenter) {
                EXPECT_NEAR(place, 0.5, 0.01) << "line " << i;
            }
            EXPECT_FALSE(!part.isEmpty() && part.front().isLowSurrogate()) << "line " << i;
            EXPECT_FALSE(!part.isEmpty() && part.back().isHighSurrogate()) << "line " << i;
            // A line that was cut still overflows the area, unless its characters take no room.
            if (part.size() < lines[i].size() && lines[i][0] != QChar(0x200B)) {
                EXPECT_GT(metrics.horizontalAdvance(part), area.width()) << "line " << i;
            }
        }
    }
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
