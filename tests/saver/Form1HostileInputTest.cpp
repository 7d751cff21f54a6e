// The show meeting what a careless or hostile settings file can hold: pictures that are broken,
// lie about their size or are no files at all, and headlines of markup or of megabytes.

#include "SaverTestKit.h"

#include "toolkit/AutoSizeLabel.h"
#include "toolkit/ImageControl.h"
#include "toolkit/picture_corpus.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <cmath>

namespace tavello::test {
namespace {

const QColor kGreen(0, 255, 0);

TEST(ShowOfHostileFiles, EachShowsAsItShouldOrIsAFailedChange) {
    for (const corpus::Entry& entry : corpus::Pictures()) {
        SCOPED_TRACE(entry.name);
        ShowRig rig;
        ShowSettings settings;
        settings.headline = "";
        settings.speed = "1";
        // The good picture first, so the bad one is also met ahead of time, as the next in line.
        settings.pictures = {rig.picture("good.png", 32, 32, kGreen),
                             corpus::Place(rig.dir, entry)};
        rig.writeSettings(settings);
        rig.show.maxFrames = 1;
        rig.run();

        ASSERT_EQ(rig.show.frames.size(), 2u);
        EXPECT_EQ(rig.show.frames[0].imageColour, kGreen);
        const ShownFrame& second = rig.show.frames[1];
        if (entry.shows.isValid()) {
            EXPECT_EQ(second.stopFlag, 0);
            EXPECT_TRUE(second.imageVisible);
            EXPECT_EQ(second.imageRect.size(), QSizeF(entry.shows));
            EXPECT_TRUE(corpus::RedAboveBlue(rig.form->Image1()->picture().image));
        } else {
            EXPECT_EQ(second.stopFlag, -1);
            EXPECT_FALSE(second.imageVisible);  // the screen goes black and the show ends
        }
        EXPECT_TRUE(rig.form->ended());
    }
}

QString Huge(qsizetype characters) {
    const QString piece = QStringLiteral("TAVELLO 2023 ");
    QString text;
    text.reserve(characters + piece.size());
    while (text.size() < characters) text += piece;
    return text;
}

struct HeadlineText {
    const char* name;
    QString text;
    bool spansScreen;
};

void PrintTo(const HeadlineText& headline, std::ostream* os) {
    *os << headline.name;
}

class HeadlineAsTyped : public ::testing::TestWithParam<HeadlineText> {};

// One line of plain text, centred or spanning the screen, kept whole; a movement away from the
// resting place ends the show while it stands.
TEST_P(HeadlineAsTyped, IsOneCentredLineAndInputEndsTheShow) {
    const HeadlineText& c = GetParam();
    ShowRig rig;
    ShowSettings settings;
    settings.headline = c.text;
    rig.writeSettings(settings);
    QRect label;
    bool wholeCaption = false, visible = false;
    rig.show.at(rig.show.now + 1, [&] {
        label = rig.form->Label1()->geometry();
        visible = rig.form->Label1()->isVisible();
        wholeCaption = rig.form->Label1()->caption() == c.text;
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(rig.form.get(), &move);
    });
    rig.run();

    const QFontMetrics metrics(rig.form->Label1()->font());
    EXPECT_TRUE(visible);
    EXPECT_TRUE(wholeCaption);
    EXPECT_EQ(label.height(), metrics.height());
    EXPECT_EQ(label.y(), std::lround(384 - metrics.height() / 2.0));
    if (c.spansScreen) {
        EXPECT_EQ(label.x(), 0);
        EXPECT_EQ(label.width(), 1024);
    } else {
        EXPECT_NEAR(label.width(), metrics.horizontalAdvance(c.text), 2);
        EXPECT_NEAR(label.center().x(), 512, 1);
    }
    EXPECT_TRUE(rig.show.frames.empty());  // ended before the first picture
    EXPECT_TRUE(rig.form->ended());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeadlineAsTyped,
    ::testing::Values(HeadlineText{"markup", QStringLiteral("<s>2023</s> <i>photos</i>"), false},
                      HeadlineText{"entities", QStringLiteral("Tom &amp; Jerry"), false},
                      HeadlineText{"two_megabytes", Huge(2'000'000), true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavello::test
