// The whole show on a fake clock: headline, timing, order, failures, password, music.

#include "SaverTestKit.h"

#include "toolkit/AutoSizeLabel.h"
#include "toolkit/ImageControl.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QKeyEvent>
#include <QTest>
#include <ostream>

#include <climits>
#include <ostream>

namespace tavello::test {
namespace {

const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255);

void PressShift(Form1* form) {
    QTest::keyClick(form, Qt::Key_Shift);
}

TEST(Show, HeadlineForSpeedSecondsThenPicturesInListOrder) {
    ShowRig rig;
    ShowSettings settings;
    settings.pictures = {rig.picture("a.png", 640, 480, kRed),
                         rig.picture("b.png", 2000, 500, kGreen),
                         rig.picture("c.bmp", 500, 2000, kBlue)};
    rig.writeSettings(settings);
    const std::int32_t t0 = rig.show.now;
    bool labelUp = false, cursorHidden = false;
    QRect labelRect, formRect;
    rig.show.at(t0 + 1, [&] {
        labelUp = rig.form->Label1()->isVisible();
        labelRect = rig.form->Label1()->geometry();
        formRect = rig.form->geometry();
        cursorHidden = rig.cursor.counter < 0;
    });
    rig.show.at(t0 + 4 * 5001 + 100, [&] { PressShift(rig.form.get()); });
    rig.run();

    EXPECT_TRUE(labelUp);
    EXPECT_NEAR(labelRect.center().x(), 512, 1);
    EXPECT_NEAR(labelRect.center().y(), 384, 1);
    EXPECT_EQ(formRect, QRect(0, 0, 1024, 768));
    EXPECT_TRUE(cursorHidden);

    ASSERT_EQ(rig.show.frames.size(), 4u);
    const QColor colours[] = {kRed, kGreen, kBlue, kRed};
    const QRectF rects[] = {
        {192, 144, 640, 480}, {0, 256, 1024, 256}, {416, 0, 192, 768}, {192, 144, 640, 480}};
    for (std::size_t i = 0; i < 4; ++i) {
        const ShownFrame& f = rig.show.frames[i];
        EXPECT_EQ(f.tick, t0 + 5001 * static_cast<int>(i + 1)) << i;
        EXPECT_FALSE(f.labelVisible) << i;
        EXPECT_TRUE(f.imageVisible) << i;
        EXPECT_EQ(f.imageColour, colours[i]) << i;
        EXPECT_EQ(f.imageRect, rects[i]) << i;
    }
    EXPECT_TRUE(rig.form->ended());
    EXPECT_FALSE(rig.form->isVisible());
    EXPECT_EQ(rig.cursor.counter, 1);  // shown by the end of the show and again by the unload
    EXPECT_EQ(rig.password.asked, 0);
    ASSERT_GE(rig.mci.commands.size(), 4);
    EXPECT_EQ(rig.mci.commands.mid(0, 2), (QStringList{"open \"\" alias sng", "play sng"}));
    EXPECT_EQ(rig.mci.commands.mid(rig.mci.commands.size() - 2),
              (QStringList{"stop sng wait", "close sng"}));
}

struct TimingCase {
    const char* speed;
    bool headline;
    std::int32_t start;
    std::int32_t firstAfter;  // ms from the start to the first picture
    std::uint32_t interval;   // ms between pictures
};

class ShowTimingCase : public ::testing::TestWithParam<TimingCase> {};

TEST_P(ShowTimingCase, PicturesChangeAtTheFirstTickPastTheInterval) {
    const TimingCase& c = GetParam();
    ShowRig rig(c.start);
    ShowSettings settings;
    settings.speed = c.speed;
    settings.headline = c.headline ? "TAVELLO" : "";
    settings.pictures = {rig.picture("a.png", 64, 48, kRed), rig.picture("b.png", 64, 48, kBlue)};
    rig.writeSettings(settings);
    rig.show.maxFrames = 5;  // closed after the sixth change
    rig.run();

    ASSERT_EQ(rig.show.frames.size(), 6u);
    EXPECT_EQ(
        static_cast<std::uint32_t>(rig.show.frames[0].tick) - static_cast<std::uint32_t>(c.start),
        static_cast<std::uint32_t>(c.firstAfter));
    for (std::size_t i = 1; i < rig.show.frames.size(); ++i) {
        EXPECT_EQ(static_cast<std::uint32_t>(rig.show.frames[i].tick) -
                      static_cast<std::uint32_t>(rig.show.frames[i - 1].tick),
                  c.interval)
            << i;
        EXPECT_EQ(rig.show.frames[i].imageColour, i % 2 ? kBlue : kRed) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShowTimingCase,
    ::testing::Values(TimingCase{"5", true, 100000, 5001, 5001},
                      TimingCase{"5", false, 100000, 0, 5001},  // no headline: at once
                      TimingCase{"2.5", false, 100000, 0, 2501},
                      TimingCase{"0", false, 100000, 0, 1}, TimingCase{"abc", true, 100000, 1, 1},
                      // The tick counter wraps during the show, or has passed 2^31 at its start.
                      TimingCase{"5", true, INT_MAX - 7000, 5001, 5001},
                      TimingCase{"5", false, INT_MIN + 10, 0, 5001}));

TEST(Show, FailedPictureWithPasswordOffEndsTheShow) {
    ShowRig rig;
    ShowSettings settings;
    settings.headline = "";
    settings.speed = "1";
    settings.pictures = {rig.picture("a.png", 64, 48, kRed), rig.dir.file("missing.jpg")};
    rig.writeSettings(settings);
    rig.run();

    ASSERT_EQ(rig.show.frames.size(), 2u);
    EXPECT_TRUE(rig.show.frames[0].imageVisible);
    EXPECT_FALSE(rig.show.frames[1].imageVisible);  // the screen is black
    EXPECT_EQ(rig.show.frames[1].stopFlag, -1);
    EXPECT_TRUE(rig.form->ended());
    EXPECT_EQ(rig.password.asked, 0);
    EXPECT_EQ(rig.mci.commands.last(), "close sng");
}

TEST(Show, RefusedPasswordAfterAFailedPictureRetriesItAndAsksAgain) {
    ShowRig rig;
    rig.passwordFlag = -1;
    rig.password.answers = {0};  // refused once, then verified
    int counterAfterRefusal = 0;
    rig.password.whileAsking = [&] {
        rig.cursor.position = QPoint(300, 200);
        rig.show.advance(700);  // the dialog stays open for a while
    };
    ShowSettings settings;
    settings.headline = "";
    settings.speed = "1";
    settings.pictures = {rig.picture("a.png", 64, 48, kRed), rig.dir.file("missing.jpg"),
                         rig.picture("c.png", 64, 48, kBlue)};
    rig.writeSettings(settings);
    const std::int32_t t0 = rig.show.now;
    QPoint cursorPosAfterRefusal;
    rig.show.at(t0 + 1500, [&] {
        counterAfterRefusal = rig.cursor.counter;
        cursorPosAfterRefusal = rig.form->CursorPos();
    });
    rig.run();

    ASSERT_EQ(rig.show.frames.size(), 3u);
    EXPECT_EQ(rig.show.frames[1].picIndex, 1);
    EXPECT_EQ(rig.show.frames[1].stopFlag, -1);
    EXPECT_EQ(rig.show.frames[2].picIndex, 1);  // the same picture again, in list order
    EXPECT_EQ(rig.show.frames[2].stopFlag, -1);
    // The interval counts from the failed change, the dialog's time included.
    EXPECT_EQ(rig.show.frames[2].tick - rig.show.frames[1].tick, 1001);
    EXPECT_EQ(rig.password.asked, 2);
    EXPECT_EQ(counterAfterRefusal, -1);
    EXPECT_EQ(cursorPosAfterRefusal, QPoint(300, 200));
    EXPECT_TRUE(rig.form->ended());
    EXPECT_EQ(rig.cursor.counter, 1);
}

TEST(Show, RefusedPasswordAfterInputKeepsThePictureAndTheNextStopAsksAgain) {
    ShowRig rig;
    rig.passwordFlag = 1;
    rig.password.answers = {0};
    rig.password.whileAsking = [&] { rig.cursor.position = QPoint(300, 200); };
    ShowSettings settings;
    settings.headline = "";
    settings.pictures = {rig.picture("a.png", 64, 48, kRed), rig.picture("b.png", 64, 48, kBlue)};
    rig.writeSettings(settings);
    const std::int32_t t0 = rig.show.now;
    bool redStillUp = false;
    rig.show.at(t0 + 1000, [&] { PressShift(rig.form.get()); });
    rig.show.at(t0 + 2000, [&] {
        // The mouse resting at its new place is not a new stop request.
        QMouseEvent move(QEvent::MouseMove, QPointF(300, 200), QPointF(300, 200), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(rig.form.get(), &move);
    });
    rig.show.at(t0 + 3000, [&] {
        redStillUp = !rig.form->ended() && rig.form->StopFlag() == 0 &&
                     rig.form->Image1()->isVisible() &&
                     rig.form->Image1()->picture().image.pixelColor(1, 1) == kRed;
    });
    rig.show.at(t0 + 6000, [&] { PressShift(rig.form.get()); });
    rig.run();

    EXPECT_TRUE(redStillUp);
    ASSERT_EQ(rig.show.frames.size(), 2u);
    EXPECT_EQ(rig.show.frames[1].tick, t0 + 5001);
    EXPECT_EQ(rig.show.frames[1].imageColour, kBlue);
    EXPECT_EQ(rig.password.asked, 2);
    EXPECT_TRUE(rig.form->ended());
}

TEST(Show, EmptyListRunsThroughTheStoreAndFailsAtIndex1000) {
    ShowRig rig;
    ShowSettings settings;
    settings.headline = "";
    settings.speed = "0";
    rig.writeSettings(settings);
    rig.show.maxFrames = 2000;
    rig.run();

    ASSERT_EQ(rig.show.frames.size(), 1001u);
    EXPECT_EQ(rig.show.frames[998].picIndex, 999);
    EXPECT_EQ(rig.show.frames[999].picIndex, 1000);
    EXPECT_EQ(rig.show.frames[999].stopFlag, 0);
    EXPECT_FALSE(rig.show.frames[999].imageColour.isValid());  // nothing drawn
    EXPECT_EQ(rig.show.frames[1000].stopFlag, -1);
    EXPECT_TRUE(rig.form->ended());
}

struct OrderCase {
    const char* randomOrder;
    int pictures;
    std::vector<int> shown;  // picture shown at each change (by colour)
    bool fails;              // the first change fails
};

class ShowOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(ShowOrder, PicturesFollowTheOrderSetting) {
    const OrderCase& c = GetParam();
    ShowRig rig;
    ClockSeededRandom clockRandom;
    rig.randomSource = &clockRandom;
    const QColor colours[] = {kRed, kGreen, kBlue};
    ShowSettings settings;
    settings.randomOrder = c.randomOrder;
    for (int i = 0; i < c.pictures; ++i)
        settings.pictures << rig.picture(QString("p%1.png").arg(i), 32, 32, colours[i]);
    rig.writeSettings(settings);
    rig.show.maxFrames = c.shown.size() - 1;
    rig.run();

    ASSERT_EQ(rig.show.frames.size(), c.fails ? 1u : c.shown.size());
    if (c.fails) {
        EXPECT_TRUE(rig.show.frames[0].labelVisible);  // failed before the screen changed
        EXPECT_EQ(rig.show.frames[0].stopFlag, -1);
        return;
    }
    for (std::size_t i = 0; i < c.shown.size(); ++i)
        EXPECT_EQ(rig.show.frames[i].imageColour, colours[c.shown[i]]) << i;
}

INSTANTIATE_TEST_SUITE_P(Cases, ShowOrder,
                         ::testing::Values(OrderCase{"0", 3, {0, 1, 2, 0, 1}, false},
                                           OrderCase{"0", 1, {0, 0, 0}, false},
                                           OrderCase{"1", 2, {1, 0, 1, 0, 1, 0}, false},
                                           OrderCase{"1", 1, {0, 0, 0}, false},
                                           OrderCase{"2", 3, {0, 0, 0, 0}, false},
                                           OrderCase{"", 3, {0}, true},
                                           OrderCase{"x", 3, {0}, true}));

TEST(Show, RandomOrderNeverRepeatsAndNeverStartsAtZero) {
    ShowRig rig;
    ClockSeededRandom clockRandom;
    rig.randomSource = &clockRandom;
    ShowSettings settings;
    settings.randomOrder = "1";
    settings.speed = "0";
    settings.headline = "";
    for (int i = 0; i < 3; ++i)
        settings.pictures << rig.picture(QString("p%1.png").arg(i), 8, 8, QColor(i * 100, 0, 0));
    rig.writeSettings(settings);
    rig.show.maxFrames = 300;
    rig.run();

    ASSERT_GT(rig.show.frames.size(), 300u);
    EXPECT_NE(rig.show.frames[0].imageColour, QColor(0, 0, 0));
    for (std::size_t i = 1; i < rig.show.frames.size(); ++i)
        ASSERT_NE(rig.show.frames[i].picIndex, rig.show.frames[i - 1].picIndex) << i;
}

struct HeadlineCase {
    const char* size;
    const char* text;
    QRect expected;  // -1 marks a value that depends on the font and is only checked for fitting
};

class Headline : public ::testing::TestWithParam<HeadlineCase> {};

TEST_P(Headline, IsCentredOrSpansTheScreenWhenTooLarge) {
    const HeadlineCase& c = GetParam();
    ShowRig rig;
    ShowSettings settings;
    settings.headlineSize = c.size;
    settings.headline = c.text;
    rig.writeSettings(settings);
    QRect label;
    rig.show.at(rig.show.now + 1, [&] { label = rig.form->Label1()->geometry(); });
    rig.show.maxFrames = 0;
    rig.run();

    if (c.expected.x() >= 0) {
        EXPECT_EQ(label.x(), c.expected.x());
    }
    if (c.expected.y() >= 0) {
        EXPECT_EQ(label.y(), c.expected.y());
    }
    if (c.expected.width() >= 0) {
        EXPECT_EQ(label.width(), c.expected.width());
    }
    if (c.expected.height() >= 0) {
        EXPECT_EQ(label.height(), c.expected.height());
    }
    EXPECT_NEAR(label.center().x(), 512, 1);
    if (c.expected.y() < 0) {
        EXPECT_NEAR(label.center().y(), 384, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Headline,
    ::testing::Values(HeadlineCase{"36", "TAVELLO", QRect(-1, -1, -1, -1)},
                      // Too wide: from the left edge, the screen's width; height untouched.
                      HeadlineCase{"200", "TAVELLO TAVELLO TAVELLO", QRect(0, -1, 1024, -1)},
                      // Too tall: from the top, the screen's height.
                      HeadlineCase{"700", "T", QRect(-1, 0, -1, 768)}));

// A PNG header claiming 60000 × 60000 pixels, then nothing.
QByteArray HugePngHeader() {
    QByteArray ihdr("IHDR");
    for (const quint32 side : {60000u, 60000u})
        for (int shift = 24; shift >= 0; shift -= 8) ihdr += char((side >> shift) & 0xff);
    ihdr += QByteArray("\x08\x02\x00\x00\x00", 5);
    quint32 crc = 0xffffffffu;
    for (const char byte : ihdr) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    crc ^= 0xffffffffu;
    QByteArray png("\x89PNG\r\n\x1a\n\x00\x00\x00\x0d", 12);
    png += ihdr;
    for (int shift = 24; shift >= 0; shift -= 8) png += char((crc >> shift) & 0xff);
    return png;
}

QByteArray HalfAJpeg() {
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(kRed);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes.left(bytes.size() / 2);
}

struct BrokenFile {
    const char* name;
    QByteArray bytes;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const BrokenFile& file, std::ostream* os) {
    *os << file.name;
}

class BrokenPicture : public ::testing::TestWithParam<BrokenFile> {};

// Files no loader can show, or that claim an absurd size: a failed change, never a crash.
TEST_P(BrokenPicture, IsAFailedChange) {
    ShowRig rig;
    rig.dir.write(GetParam().name, GetParam().bytes);
    ShowSettings settings;
    settings.headline = "";
    settings.pictures = {rig.dir.file(GetParam().name)};
    for (const char* size : {"100%", "画面の大きさに調整"}) {
        settings.picSize = QString::fromUtf8(size);
        rig.writeSettings(settings);
        rig.show.frames.clear();
        rig.run();
        ASSERT_EQ(rig.show.frames.size(), 1u) << size;
        EXPECT_EQ(rig.show.frames[0].stopFlag, -1) << size;
        EXPECT_FALSE(rig.show.frames[0].imageVisible) << size;
        EXPECT_TRUE(rig.form->ended()) << size;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenPicture,
                         ::testing::Values(BrokenFile{"huge.png", HugePngHeader()},
                                           BrokenFile{"empty.jpg", QByteArray()},
                                           BrokenFile{"text.jpg", "not a picture\n"},
                                           BrokenFile{"cut.jpg", HalfAJpeg()}),
                         [](const auto& info) {
                             return QString(info.param.name).remove('.').toStdString();
                         });

TEST(Show, FinishedMusicRestartsAtTheNextChangeOnly) {
    ShowRig rig;
    ShowSettings settings;
    settings.headline = "";
    settings.musicFile = "/music/a b.mid";
    settings.pictures = {rig.picture("a.png", 8, 8, kRed)};
    rig.writeSettings(settings);
    const std::int32_t t0 = rig.show.now;
    QStringList whilePlaying;
    rig.show.at(t0 + 6000, [&] {
        whilePlaying = rig.mci.commands;
        rig.mci.mode = "stopped";
    });
    rig.show.maxFrames = 2;
    rig.run();

    const QStringList open{"open \"/music/a b.mid\" alias sng", "play sng"};
    EXPECT_EQ(whilePlaying, (QStringList{open[0], open[1], "status sng mode", "status sng mode"}));
    EXPECT_EQ(rig.mci.commands.mid(whilePlaying.size(), 5),
              (QStringList{"status sng mode", "stop sng wait", "close sng", open[0], open[1]}));
}

}  // namespace
}  // namespace tavello::test
