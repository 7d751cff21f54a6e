#include "saver/ShowTiming.h"

#include "platform/TickCount.h"

#include <cmath>

namespace tavello {

int ShowTiming::MillisecondsLeft(std::int32_t lastTick, std::int32_t now, int maxWaitMs) const {
    // The first whole elapsed count past the interval is floor(interval) + 1.
    const double firstOver = std::floor(intervalMs_) + 1;
    const double left = firstOver - static_cast<double>(Elapsed(lastTick, now));
    if (!(left > 1)) return 1;  // also NaN
    if (left >= maxWaitMs) return maxWaitMs;
    return static_cast<int>(left);
}

void ShowClock::Restart() {
    LastTick_ = ticks_.GetTickCount();
}

bool ShowClock::Due() const {
    return timing_.IsOver(LastTick_, ticks_.GetTickCount());
}

int ShowClock::WaitMs() const {
    const std::int32_t now = ticks_.GetTickCount();
    return timing_.IsOver(LastTick_, now) ? 0
                                          : timing_.MillisecondsLeft(LastTick_, now, kMaxWaitMs);
}

}  // namespace tavello
