#include "saver/x11/DeskHold.h"

#include "platform/DeskGuard.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace tavello {

DeskHold::DeskHold(DeskGuard& guard, QWidget* show, std::function<QList<QWidget*>()> covers,
                   Later later)
    : guard_(guard), show_(show), covers_(std::move(covers)), later_(std::move(later)) {
    if (!later_) {
        later_ = [this](int milliseconds, std::function<void()> action) {
            QTimer::singleShot(milliseconds, this, std::move(action));
        };
    }
}

DeskHold::~DeskHold() {
    Release();
}

void DeskHold::Hold() {
    held_ = true;
    attempts_ = 0;
    keyboard_ = false;
    pointer_ = false;
    if (!retryPending_) TryGrabs();
    if (!watching_) {
        watching_ = true;
        guard_.WatchStacking([this] { StackingChanged(); });
    }
    Restack();
}

void DeskHold::Release() {
    if (!held_ && !watching_) return;
    held_ = false;
    keyboard_ = false;
    pointer_ = false;
    guard_.ReleaseInput();
    if (watching_) guard_.WatchStacking({});
    watching_ = false;
}

void DeskHold::TryGrabs() {
    retryPending_ = false;
    if (!held_) return;
    if (!keyboard_) keyboard_ = guard_.GrabKeyboard(show_);
    if (!pointer_) pointer_ = guard_.GrabPointer(show_);
    if (keyboard_ && pointer_) return;
    // Another program keeps a grab: the show goes on, trying again soon, then now and then.
    ++attempts_;
    retryPending_ = true;
    later_(attempts_ < kGrabAttempts ? kGrabRetryMs : kGrabSlowRetryMs, [this] { TryGrabs(); });
}

void DeskHold::StackingChanged() {
    if (checkPending_ || !held_) return;
    checkPending_ = true;
    // A burst of changes (a window being mapped brings several) is looked at once.
    later_(justRaised_ ? kRestackPauseMs : 0, [this] {
        checkPending_ = false;
        Restack();
    });
}

void DeskHold::Restack() {
    justRaised_ = false;
    if (!held_) return;
    const QList<QWidget*> order = Order();
    if (guard_.OnTopInOrder(order)) return;
    guard_.RaiseInOrder(order);
    justRaised_ = true;
    // A window that took the focus from the prompt gives it back.
    if (QWidget* prompt = QApplication::activeModalWidget()) prompt->activateWindow();
}

QList<QWidget*> DeskHold::Order() const {
    QList<QWidget*> order{show_};
    if (covers_) order += covers_();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !order.contains(w)) order.append(w);
    return order;
}

}  // namespace tavello
