#pragma once

// Fakes for running the saver window's whole show on an injected clock, with scripted input.

#include "music/Mci.h"
#include "platform/Cursor.h"
#include "platform/DeskGuard.h"
#include "platform/Password.h"
#include "platform/TickCount.h"
#include "saver/Form1.h"
#include "saver/PictureOrder.h"
#include "saver/ShowTimer.h"
#include "support/TestDir.h"
#include "toolkit/GuiTicket.h"
#include "toolkit/PictureSource.h"

#include <QColor>
#include <QRectF>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tavello::test {

class FakeCursor final : public CursorService {
  public:
    int ShowCursor(bool show) override { return counter += show ? 1 : -1; }
    QPoint GetCursorPos() override { return position; }
    int counter = 0;
    QPoint position{100, 100};
};

class FakeMci final : public MciService {
  public:
    std::uint32_t Send(const MciParseResult& sent, QByteArray& reply) override;
    QStringList commands;
    QByteArray mode = "playing";
};

class FakePassword final : public PasswordService {
  public:
    std::int32_t VerifyScreenSavePwd(QWidget*) override;
    std::int32_t PwdChangePasswordA(const QString&, std::int32_t, std::int32_t,
                                    std::int32_t) override {
        return 0;
    }
    std::vector<std::int32_t> answers;  // one per question; verified (1) once they run out
    std::function<void()> whileAsking;  // runs while the dialog would be open
    int asked = 0;
};

// Grabs and stacking on a desk of the test's making. Every call is logged in order ("keyboard",
// "pointer", "release", "watch", "unwatch", "raise"); a grab succeeds once its scripted answers
// run out.
class FakeDesk final : public DeskGuard {
  public:
    bool GrabKeyboard(QWidget* window) override;
    bool GrabPointer(QWidget* window) override;
    void ReleaseInput() override { log.push_back("release"); }
    void WatchStacking(std::function<void()> changed) override;
    bool OnTopInOrder(const QList<QWidget*>& windows) override;
    void RaiseInOrder(const QList<QWidget*>& windows) override;
    // Kept apart from the log: the show watches its own windows whether or not the password is on.
    void WatchOwnWindows(std::function<void(QWidget*, Loss)> watcher) override {
        lost = std::move(watcher);
    }
    void MapAgain(QWidget* window) override { mappedAgain.push_back(window); }

    std::vector<std::string> log;
    std::deque<bool> keyboardAnswers, pointerAnswers;
    QWidget* grabbedBy = nullptr;
    std::function<void()> changed;             // the watcher, while one is set
    std::function<void(QWidget*, Loss)> lost;  // the watcher of our own windows, while one is set
    std::vector<QWidget*> mappedAgain;
    bool onTop = true;
    int checks = 0;
    std::vector<QList<QWidget*>> raised;
};

// Draws the scripted values in turn, then repeats the last.
class ScriptedRandom final : public RandomSource {
  public:
    explicit ScriptedRandom(std::vector<float> draws) : draws_(std::move(draws)) {}
    void Reseed() override { ++reseeds; }
    float Draw() override;
    int reseeds = 0;

  private:
    std::vector<float> draws_;
    std::size_t next_ = 0;
};

// What the screen showed right after one picture change.
struct ShownFrame {
    std::int32_t tick = 0;
    std::int16_t picIndex = 0;  // the index after the change (advanced in list order)
    bool labelVisible = false;
    bool imageVisible = false;
    QRectF imageRect;    // Left, Top, Width, Height of Image1
    QColor imageColour;  // centre pixel of Image1's picture, invalid when it has none
    std::int16_t stopFlag = 0;
};

// The clock, the timer and the picture source of the show: waiting advances the clock, input is
// scripted at clock times, every picture change is recorded. Each picture asked for is decoded as
// in the program and answered at the event loop's next turn, unless the test holds it.
class FakeShow final : public TickSource, public ShowTimer, public PictureSource {
  public:
    explicit FakeShow(std::int32_t start) : now(start) {}
    ~FakeShow() override { ticket_.revoke(); }
    std::int32_t GetTickCount() override { return now; }
    void WakeAfter(int milliseconds, std::function<void()> due) override;
    void Stop() override { due_ = nullptr; }
    void Request(const QString& path, const ShowFit& fit, Done done) override;
    void Prefetch(const QString&, const ShowFit&) override {}
    void Cancel() override {
        ticket_.revoke();
        ticket_ = GuiTicket();
        answered_ = posted_;
    }
    // Answers the held request now, as a source that missed the cancel would.
    void AnswerHeld() { std::exchange(held_, nullptr)(); }

    // The show to record and run.
    void attach(Form1* show);
    // Runs the show until it has ended: each wait the show asks for passes on the clock at once.
    void runUntilEnded();
    void advance(std::int64_t milliseconds);
    // Runs action once the clock has reached (start of the show's clock) + offset.
    void at(std::int32_t tick, std::function<void()> action);

    std::int32_t now;
    std::vector<int> waits;
    std::vector<ShownFrame> frames;
    Form1* form = nullptr;
    std::size_t maxFrames = 50;  // safety net: the show is closed past these
    std::int64_t maxMilliseconds = 600000;
    int requests = 0, holdRequest = -1;  // the request held (from 0) waits for AnswerHeld
    std::function<void()> whileHeld;     // runs once that request has come

  private:
    // Records what the screen shows right after a picture change.
    void changed();
    void runDue();
    void guard();
    void processEvents();
    struct Scheduled {
        std::int32_t tick;
        std::function<void()> action;
    };
    std::vector<Scheduled> scheduled_;
    std::int64_t waited_ = 0;
    int wait_ = 0;
    std::function<void()> due_;
    GuiTicket ticket_;
    int posted_ = 0, answered_ = 0;  // answers on their way, and come
    std::function<void()> held_;
};

// The settings file's seven values and pictures.
struct ShowSettings {
    QString speed = QStringLiteral("5");
    QString picSize = QStringLiteral("100%");
    QString musicFile;
    QString headline = QStringLiteral("TAVELLO");
    QString randomOrder = QStringLiteral("0");
    QString headlineSize = QStringLiteral("36");
    QStringList pictures;
};

// One show on a 1024 × 768 screen with every service faked.
class ShowRig {
  public:
    explicit ShowRig(std::int32_t startTick = 100000);
    ~ShowRig();
    // A solid picture file in the test folder; returns its path.
    QString picture(const QString& name, int width, int height, const QColor& colour);
    void writeSettings(const ShowSettings& settings);
    // Runs Form_Load to its end (the show ended or the safety net closed it).
    void run();

    TestDir dir;
    FakeShow show;
    FakeCursor cursor;
    FakeMci mci;
    FakePassword password;
    FakeDesk desk;
    ScriptedRandom random{{0.5f}};
    RandomSource* randomSource = &random;
    std::int16_t passwordFlag = 0;
    FolderScan scanFolder;  // empty: the real scan of folder entries
    std::unique_ptr<Form1> form;
    std::int32_t headlineTick = 0;  // the clock when the show started
};

}  // namespace tavello::test
