#include "saver/x11/ShowKeeper.h"

#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace tavello {

ShowKeeper::ShowKeeper(DeskGuard& guard, std::function<void()> retake, std::function<void()> failed)
    : guard_(guard), retake_(std::move(retake)), failed_(std::move(failed)) {
    guard_.WatchOwnWindows([this](QWidget* window, DeskGuard::Loss how) { Lost(window, how); });
}

ShowKeeper::~ShowKeeper() {
    guard_.WatchOwnWindows({});
}

void ShowKeeper::Lost(QWidget* window, DeskGuard::Loss how) {
    if (how == DeskGuard::Loss::Unmapped) {
        guard_.MapAgain(window);
        ++broughtBack_;
        retake_();
        return;
    }
    // Made anew once the toolkit has finished with the event that told of the loss.
    QMetaObject::invokeMethod(
        this,
        [this, target = QPointer<QWidget>(window)] {
            if (!target || !target->isVisible()) return;  // closed by the show meanwhile
            if (!RecreateWindow(*target)) {
                // The show ends, and this keeper with it: the call must not need the keeper.
                const std::function<void()> failed = failed_;
                return failed();
            }
            ++broughtBack_;
            retake_();
        },
        Qt::QueuedConnection);
}

bool RecreateWindow(QWidget& widget) {
    const QRect geometry = widget.geometry();
    widget.hide();
    // The native window is gone already; the toolkit lets go of its record of it and makes a new
    // one when the widget is shown.
    if (QWindow* handle = widget.windowHandle()) handle->destroy();
    widget.setGeometry(geometry);
    widget.show();
    return widget.windowHandle() && widget.windowHandle()->handle() && widget.isVisible();
}

}  // namespace tavello
