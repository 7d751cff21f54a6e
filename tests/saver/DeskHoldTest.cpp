// The show's hold on the desk with the password on: grabs taken and retried, the prompt served
// without letting go, the show raised again when another window stands above it.

#include "SaverTestKit.h"

#include "saver/x11/DeskHold.h"
#include "saver/x11/ShowKeeper.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace tavello::test {
namespace {

// The event loop of DeskHold, run by hand: what it asked to run later, and after how long.
struct LaterQueue {
    struct Entry {
        int milliseconds;
        std::function<void()> action;
    };
    std::vector<Entry> pending;
    std::vector<int> delays;  // every delay asked for, in order

    DeskHold::Later later() {
        return [this](int ms, std::function<void()> action) {
            delays.push_back(ms);
            pending.push_back({ms, std::move(action)});
        };
    }
    // Runs what is pending, and what that schedules, up to a limit; returns how many ran.
    int runAll(int limit = 1000) {
        int ran = 0;
        while (!pending.empty() && ran < limit) {
            auto entry = std::move(pending.front());
            pending.erase(pending.begin());
            entry.action();
            ++ran;
        }
        return ran;
    }
};

long Count(const std::vector<std::string>& log, const std::string& what) {
    return std::count(log.begin(), log.end(), what);
}

struct GrabCase {
    const char* name;
    std::deque<bool> keyboard, pointer;
    long keyboardTries, pointerTries;
    bool keyboardHeld, pointerHeld;
    bool stillTrying;  // after kSteps turns of the loop
};

// Turns of the event loop each case is given: past the quick retries, into the slow ones.
constexpr int kSteps = kGrabAttempts + 5;

class Grabs : public ::testing::TestWithParam<GrabCase> {};

TEST_P(Grabs, AreRetriedWhileTheShowGoesOn) {
    const GrabCase& c = GetParam();
    FakeDesk desk;
    desk.keyboardAnswers = c.keyboard;
    desk.pointerAnswers = c.pointer;
    QWidget show;
    LaterQueue loop;
    DeskHold hold(desk, &show, {}, loop.later());
    hold.Hold();
    loop.runAll(kSteps);

    EXPECT_EQ(Count(desk.log, "keyboard"), c.keyboardTries);
    EXPECT_EQ(Count(desk.log, "pointer"), c.pointerTries);
    EXPECT_EQ(hold.keyboardHeld(), c.keyboardHeld);
    EXPECT_EQ(hold.pointerHeld(), c.pointerHeld);
    EXPECT_EQ(desk.grabbedBy, &show);
    EXPECT_EQ(!loop.pending.empty(), c.stillTrying);
    EXPECT_LE(loop.pending.size(), 1u);  // one retry at a time
    // Quick retries first, then slow ones.
    for (std::size_t i = 0; i < loop.delays.size(); ++i)
        EXPECT_EQ(loop.delays[i], i + 1 < kGrabAttempts ? kGrabRetryMs : kGrabSlowRetryMs) << i;
    EXPECT_EQ(Count(desk.log, "release"), 0);
}

const std::deque<bool> kNeverFree(200, false);

INSTANTIATE_TEST_SUITE_P(
    DeskHold, Grabs,
    ::testing::Values(
        GrabCase{"FreeAtOnce", {}, {}, 1, 1, true, true, false},
        GrabCase{
            "KeyboardHeldElsewhereForAWhile", {false, false, false}, {}, 4, 1, true, true, false},
        GrabCase{"PointerFreedAfterTheQuickRetries",
                 {},
                 std::deque<bool>(kGrabAttempts + 2, false),
                 1,
                 kGrabAttempts + 3,
                 true,
                 true,
                 false},
        GrabCase{"PointerNeverFree", {}, kNeverFree, 1, kSteps + 1, true, false, true},
        GrabCase{"NeitherEverFree", kNeverFree, kNeverFree, kSteps + 1, kSteps + 1, false, false,
                 true}),
    [](const auto& info) { return std::string(info.param.name); });

struct StackCase {
    const char* name;
    bool onTop;
    int changes;       // stacking changes reported in one burst
    long raises;       // raises after the burst has been looked at
    bool promptShown;  // a window of ours besides the show and covers is up
};

class Stacking : public ::testing::TestWithParam<StackCase> {};

TEST_P(Stacking, RaisesTheShowCoversAndPromptInThatOrder) {
    const StackCase& c = GetParam();
    FakeDesk desk;
    QWidget show, coverA, coverB, prompt;
    if (c.promptShown) prompt.show();
    LaterQueue loop;
    DeskHold hold(
        desk, &show,
        [&] {
            return QList<QWidget*>{&coverA, &coverB};
        },
        loop.later());
    hold.Hold();
    ASSERT_TRUE(desk.changed);
    desk.onTop = c.onTop;
    desk.raised.clear();
    const int checksBefore = desk.checks;
    for (int i = 0; i < c.changes; ++i) desk.changed();
    EXPECT_EQ(loop.pending.size(), c.changes > 0 ? 1u : 0u);  // a burst is looked at once
    loop.runAll(1);

    EXPECT_EQ(desk.checks - checksBefore, c.changes > 0 ? 1 : 0);
    ASSERT_EQ(static_cast<long>(desk.raised.size()), c.raises);
    if (c.raises > 0) {
        QList<QWidget*> expected{&show, &coverA, &coverB};
        if (c.promptShown) expected.append(&prompt);
        EXPECT_EQ(desk.raised.front(), expected);
        // The next look waits a pause, so a window that insists is not fought in a tight loop.
        desk.changed();
        ASSERT_FALSE(loop.delays.empty());
        EXPECT_EQ(loop.delays.back(), kRestackPauseMs);
    }
}

INSTANTIATE_TEST_SUITE_P(DeskHold, Stacking,
                         ::testing::Values(StackCase{"AlreadyOnTop", true, 3, 0, false},
                                           StackCase{"WindowMappedAbove", false, 5, 1, false},
                                           StackCase{"WindowMappedAboveThePrompt", false, 1, 1,
                                                     true},
                                           StackCase{"NoChange", false, 0, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DeskHold, ReleaseLetsGoAndStopsEverything) {
    FakeDesk desk;
    QWidget show;
    LaterQueue loop;
    desk.pointerAnswers = {false};
    DeskHold hold(desk, &show, {}, loop.later());
    hold.Hold();
    hold.Release();
    desk.log.clear();
    loop.runAll();  // the pending retry finds nothing to do
    EXPECT_TRUE(desk.log.empty());
    EXPECT_FALSE(hold.keyboardHeld());
    EXPECT_FALSE(desk.changed);
}

// ---- the show with its hold ----

struct ShowHoldCase {
    const char* name;
    std::int16_t passwordFlag;
    std::vector<std::int32_t> answers;  // the password dialog's answers, one per stop
};

class ShowHold : public ::testing::TestWithParam<ShowHoldCase> {};

// With the password on, the grabs are never let go while the show is up, not even for the
// prompt; they are taken anew after each refusal and let go only at the end.
TEST_P(ShowHold, GrabsForTheWholeShow) {
    const ShowHoldCase& c = GetParam();
    ShowRig rig;
    rig.passwordFlag = c.passwordFlag;
    rig.password.answers = c.answers;
    std::vector<std::vector<std::string>> logWhileAsking;
    rig.password.whileAsking = [&] { logWhileAsking.push_back(rig.desk.log); };
    ShowSettings settings;
    settings.pictures = {rig.picture("a.png", 64, 48, Qt::red)};
    rig.writeSettings(settings);
    const std::int32_t t0 = rig.show.now;
    // Shift alone, once for each answer and once more for the end.
    for (int stop = 0; stop <= static_cast<int>(c.answers.size()); ++stop)
        rig.show.at(t0 + 1000 + 2000 * stop, [&] {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
            QCoreApplication::sendEvent(rig.form.get(), &key);
        });
    rig.run();
    ASSERT_TRUE(rig.form->ended());

    const std::vector<std::string>& log = rig.desk.log;
    if (c.passwordFlag == 0) {
        EXPECT_TRUE(log.empty());
        return;
    }
    const long prompts = static_cast<long>(c.answers.size()) + 1;
    ASSERT_EQ(static_cast<long>(logWhileAsking.size()), prompts);
    for (long i = 0; i < prompts; ++i) {
        const auto& seen = logWhileAsking[static_cast<std::size_t>(i)];
        // Taken at load and after every refusal so far, never let go before the prompt.
        EXPECT_EQ(Count(seen, "keyboard"), i + 1);
        EXPECT_EQ(Count(seen, "pointer"), i + 1);
        EXPECT_EQ(Count(seen, "release"), 0);
        EXPECT_EQ(Count(seen, "unwatch"), 0);
    }
    EXPECT_EQ(rig.desk.grabbedBy, rig.form.get());
    EXPECT_EQ(Count(log, "watch"), 1);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "release");  // let go at the end, and only then
    EXPECT_EQ(log.back(), "unwatch");
}

INSTANTIATE_TEST_SUITE_P(Form1, ShowHold,
                         ::testing::Values(ShowHoldCase{"PasswordOff", 0, {}},
                                           ShowHoldCase{"RightAtOnce", 1, {}},
                                           ShowHoldCase{"RefusedTwiceThenRight", -1, {0, 0}}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the show's windows kept on the screen ----

struct LossCase {
    const char* name;
    DeskGuard::Loss how;
    bool closedMeanwhile;  // the show itself closes the window before the loss is handled
    std::size_t mappedAgain;
    int retakes;
    bool madeAnew;
};

class KeptWindows : public ::testing::TestWithParam<LossCase> {};

TEST_P(KeptWindows, ComeBackAndTheShowRetakesTheDesk) {
    const LossCase& c = GetParam();
    FakeDesk desk;
    QWidget window;
    window.resize(64, 48);
    window.show();
    const QWindow* before = window.windowHandle();
    const WId idBefore = window.winId();
    int retakes = 0;
    int failures = 0;
    {
        ShowKeeper keeper(
            desk, [&] { ++retakes; }, [&] { ++failures; });
        ASSERT_TRUE(desk.lost);
        desk.lost(&window, c.how);
        if (c.closedMeanwhile) window.close();
        QCoreApplication::processEvents();

        EXPECT_EQ(desk.mappedAgain.size(), c.mappedAgain);
        EXPECT_EQ(retakes, c.retakes);
        EXPECT_EQ(failures, 0);
        EXPECT_EQ(window.isVisible(), !c.closedMeanwhile);
        if (c.madeAnew) {
            ASSERT_EQ(window.windowHandle(), before);  // the same window, with a new native one
            EXPECT_NE(window.winId(), idBefore);
            EXPECT_EQ(window.size(), QSize(64, 48));
        }
    }
    EXPECT_FALSE(desk.lost);  // the watch ends with the keeper
}

INSTANTIATE_TEST_SUITE_P(
    ShowKeeper, KeptWindows,
    ::testing::Values(LossCase{"Unmapped", DeskGuard::Loss::Unmapped, false, 1, 1, false},
                      LossCase{"Destroyed", DeskGuard::Loss::Destroyed, false, 0, 1, true},
                      LossCase{"DestroyedThenClosedByTheShow", DeskGuard::Loss::Destroyed, true, 0,
                               0, false}),
    [](const auto& info) { return std::string(info.param.name); });

// With the password on, a window taken away while the show runs comes back with the grabs taken
// anew, the prompt still comes first, and the watch ends with the show.
TEST(ShowKeeper, TheShowGrabsAgainAfterALoss) {
    ShowRig rig;
    rig.passwordFlag = 1;
    ShowSettings settings;
    settings.pictures = {rig.picture("a.png", 64, 48, Qt::red)};
    rig.writeSettings(settings);
    const std::int32_t t0 = rig.show.now;
    std::vector<std::string> logAfterLoss;
    rig.show.at(t0 + 1000, [&] {
        ASSERT_TRUE(rig.desk.lost);
        rig.desk.lost(rig.form.get(), DeskGuard::Loss::Unmapped);
        logAfterLoss = rig.desk.log;
    });
    rig.show.at(t0 + 2000, [&] {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
        QCoreApplication::sendEvent(rig.form.get(), &key);
    });
    rig.run();

    ASSERT_TRUE(rig.form->ended());
    EXPECT_FALSE(rig.form->windowLost());
    EXPECT_EQ(rig.desk.mappedAgain, std::vector<QWidget*>{rig.form.get()});
    EXPECT_EQ(Count(logAfterLoss, "keyboard"), 2);  // at load, and again after the loss
    EXPECT_EQ(Count(logAfterLoss, "pointer"), 2);
    EXPECT_EQ(rig.password.asked, 1);
    EXPECT_FALSE(rig.desk.lost);
}

}  // namespace
}  // namespace tavello::test
