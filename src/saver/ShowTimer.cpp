#include "saver/ShowTimer.h"

namespace tavello {

EventLoopTimer::EventLoopTimer() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        // Taken out first: the call may ask for the next one.
        std::function<void()> due = std::move(due_);
        due_ = nullptr;
        if (due) due();
    });
}

void EventLoopTimer::WakeAfter(int milliseconds, std::function<void()> due) {
    due_ = std::move(due);
    timer_.start(milliseconds);
}

void EventLoopTimer::Stop() {
    timer_.stop();
    due_ = nullptr;
}

}  // namespace tavello
