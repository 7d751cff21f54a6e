#include "saver/ShowTiming.h"

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

}  // namespace tavello
