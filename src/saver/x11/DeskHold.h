#pragma once

#include <QList>
#include <QObject>
#include <functional>

class QWidget;

namespace tavello {

class DeskGuard;

// A grab another program holds is tried for again this many times at this pace; then the show goes
// on without it and tries once in a while, so the grab is taken as soon as it is let go.
inline constexpr int kGrabAttempts = 20;
inline constexpr int kGrabRetryMs = 100;
inline constexpr int kGrabSlowRetryMs = 1000;
// After raising the show, the next look at the stacking waits this long, so a window that insists
// on standing on top is answered a few times a second rather than in a tight loop.
inline constexpr int kRestackPauseMs = 100;

// The hold of a show that only the password may end: the keyboard and pointer grabs on the show's
// window for as long as it runs, and the show, its covers and any other window of ours (the
// password prompt, last) above every other program's window. Input meant for the prompt or a
// cover still reaches it, so the prompt needs no grab of its own and the desk never gets the
// input back while the show is up.
class DeskHold : public QObject {
    Q_OBJECT
  public:
    // Runs action after the given time, on the event loop (tests run it themselves).
    using Later = std::function<void(int milliseconds, std::function<void()> action)>;

    DeskHold(DeskGuard& guard, QWidget* show, std::function<QList<QWidget*>()> covers,
             Later later = {});
    ~DeskHold() override;

    // Takes both grabs anew (retrying while another program holds one, the show going on
    // meanwhile), watches the stacking and raises what stands below another window. At the start
    // of the show and after a refused password.
    void Hold();
    // Lets go of the grabs and stops watching.
    void Release();

    bool keyboardHeld() const { return keyboard_; }
    bool pointerHeld() const { return pointer_; }

  private:
    void TryGrabs();
    void StackingChanged();
    void Restack();
    // The show, then its covers, then any other shown window of ours: bottom first.
    QList<QWidget*> Order() const;

    DeskGuard& guard_;
    QWidget* show_;
    std::function<QList<QWidget*>()> covers_;
    Later later_;
    bool held_ = false;
    bool watching_ = false;
    bool keyboard_ = false;
    bool pointer_ = false;
    int attempts_ = 0;
    bool retryPending_ = false;
    bool checkPending_ = false;
    bool justRaised_ = false;
};

}  // namespace tavello
