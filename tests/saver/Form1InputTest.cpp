// What ends the show and what does not, with the headline up and with a picture up.

#include "SaverTestKit.h"

#include "toolkit/AutoSizeLabel.h"
#include "toolkit/ImageControl.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMouseEvent>
#include <QTest>

namespace tavello::test {
namespace {

enum class Phase { Headline, Picture };

struct InputCase {
    const char* name;
    Phase phase;
    std::function<void(Form1*)> input;
    bool ends;
};

void Move(QWidget* receiver, QPoint global) {
    QMouseEvent move(QEvent::MouseMove, QPointF(receiver->mapFromGlobal(global)), QPointF(global),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(receiver, &move);
}

void Press(QWidget* receiver, Qt::MouseButton button) {
    const QPointF centre(receiver->width() / 2.0, receiver->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, centre, receiver->mapToGlobal(centre), button,
                      button, Qt::NoModifier);
    QApplication::sendEvent(receiver, &press);
}

// The fake cursor rests at (100, 100) when the show starts.
const QPoint kRest(100, 100);

std::vector<InputCase> Cases() {
    return {
        {"ShiftAlone", Phase::Picture, [](Form1* f) { QTest::keyClick(f, Qt::Key_Shift); }, true},
        {"Tab", Phase::Picture, [](Form1* f) { QTest::keyClick(f, Qt::Key_Tab); }, true},
        {"LetterDuringHeadline", Phase::Headline, [](Form1* f) { QTest::keyClick(f, Qt::Key_A); },
         true},
        {"ClickOnPicture", Phase::Picture, [](Form1* f) { Press(f->Image1(), Qt::LeftButton); },
         true},
        {"RightClickOnWindow", Phase::Headline, [](Form1* f) { Press(f, Qt::RightButton); }, true},
        {"ClickOnHeadline", Phase::Headline, [](Form1* f) { Press(f->Label1(), Qt::LeftButton); },
         true},
        {"OnePixelRight", Phase::Headline, [](Form1* f) { Move(f, kRest + QPoint(1, 0)); }, true},
        {"OnePixelUpOverPicture", Phase::Picture, [](Form1* f) { Move(f, kRest + QPoint(0, -1)); },
         true},
        {"MoveReportAtRestingPlace", Phase::Picture, [](Form1* f) { Move(f, kRest); }, false},
        {"MovesWithinTheHeadline", Phase::Headline,
         [](Form1* f) {
             const QRect label(f->Label1()->mapToGlobal(QPoint(0, 0)), f->Label1()->size());
             Move(f->Label1(), label.topLeft() + QPoint(1, 1));
             Move(f->Label1(), label.center());
             Move(f->Label1(), label.bottomRight());
         },
         false},
    };
}

class Input : public ::testing::TestWithParam<InputCase> {};

TEST_P(Input, EndsTheShowOrNot) {
    const InputCase& c = GetParam();
    ShowRig rig;
    ShowSettings settings;
    settings.pictures = {rig.picture("a.png", 640, 480, QColor(200, 10, 10))};
    rig.writeSettings(settings);
    const std::int32_t t0 = rig.show.now;
    const std::int32_t when = t0 + (c.phase == Phase::Headline ? 1000 : 6000);
    bool headlineUp = false;
    rig.show.at(when, [&] {
        headlineUp = rig.form->Label1()->isVisible();
        c.input(rig.form.get());
    });
    rig.show.maxFrames = 1;  // otherwise closed after the second change
    rig.run();

    EXPECT_EQ(headlineUp, c.phase == Phase::Headline);
    const std::size_t framesBefore = c.phase == Phase::Headline ? 0 : 1;
    if (c.ends) {
        EXPECT_EQ(rig.show.frames.size(), framesBefore);
        EXPECT_TRUE(rig.form->ended());
        EXPECT_EQ(rig.cursor.counter, 1);
    } else {
        EXPECT_EQ(rig.show.frames.size(), 2u);  // ran on until the test closed it
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Input, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Input, WindowHoldsNoFocusableControlAndPassesPictureInputOn) {
    ShowRig rig;
    ShowSettings settings;
    rig.writeSettings(settings);
    rig.show.maxFrames = 0;
    rig.run();
    Form1* form = rig.form.get();
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(form->Label1()->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(form->Label1()->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(form->Image1()->isEnabled());
}

struct WaitingCase {
    const char* name;
    const char* entry;  // in a folder of c.png and bad.jpg, which holds no picture
    int held;           // the request the input comes during (counted from 0)
    int password;       // on, refused once: the dropped change is made an interval later
    std::size_t frames;
};

class WaitingChange : public ::testing::TestWithParam<WaitingCase> {};

TEST_P(WaitingChange, InputEndsItAtOnceAndItsLateAnswerIsIgnored) {
    const WaitingCase& c = GetParam();
    ShowRig rig;
    rig.passwordFlag = static_cast<std::int16_t>(c.password);
    rig.password.answers = {0};
    rig.picture("album/c.png", 8, 8, Qt::red);
    rig.dir.write("album/bad.jpg", "no picture\n");
    ShowSettings settings;
    settings.pictures = {rig.dir.file(c.entry)};
    rig.writeSettings(settings);
    rig.show.holdRequest = c.held;
    rig.show.whileHeld = [&] { QTest::keyClick(rig.form.get(), Qt::Key_Shift); };
    rig.show.maxFrames = 0;
    rig.run();
    EXPECT_TRUE(rig.form->ended());
    rig.show.AnswerHeld();
    EXPECT_EQ(rig.show.frames.size(), c.frames);
    EXPECT_EQ(rig.password.asked, c.password);
}

INSTANTIATE_TEST_SUITE_P(Cases, WaitingChange,
                         ::testing::Values(WaitingCase{"FirstPicture", "album/c.png", 0, 0, 0},
                                           WaitingCase{"PassingOverABrokenOne", "album/", 1, 0, 0},
                                           WaitingCase{"RefusedPassword", "album/c.png", 0, 1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavello::test
