#pragma once

#include <cstdint>

namespace tavello {

class TickSource;

// The picture interval of the show loop. The interval is over at the first tick reading strictly
// more than intervalMs after lastTick. The elapsed time is taken modulo 2^32, so the tick
// counter's wrap-around (after about 49.7 days) never stops the show.
class ShowTiming {
  public:
    // intervalMs is the Speed setting's number × 1000 (any value, fractional or negative).
    explicit ShowTiming(double intervalMs) : intervalMs_(intervalMs) {}

    static std::uint32_t Elapsed(std::int32_t lastTick, std::int32_t now) {
        return static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(lastTick);
    }

    bool IsOver(std::int32_t lastTick, std::int32_t now) const {
        return static_cast<double>(Elapsed(lastTick, now)) > intervalMs_;
    }

    // How long to wait before the interval can be over: at least 1 ms, at most maxWaitMs, so a
    // clock that drifts from the waiting timer is checked again soon.
    int MillisecondsLeft(std::int32_t lastTick, std::int32_t now, int maxWaitMs) const;

  private:
    double intervalMs_;
};

// The show's clock: the tick at which the current picture (or the headline) went up, LastTick,
// and how long the show waits before it looks again.
class ShowClock {
  public:
    // The longest single wait: the show looks at the tick count again at least this often, so a
    // waiting timer that runs apart from the tick count (suspend, clock drift) cannot delay a
    // change.
    static constexpr int kMaxWaitMs = 1000;

    explicit ShowClock(TickSource& ticks) : ticks_(ticks) {}
    void SetInterval(double intervalMs) { timing_ = ShowTiming(intervalMs); }
    // The interval counts from now.
    void Restart();
    bool Due() const;
    // 0 when the change is due, else how long to wait before looking again.
    int WaitMs() const;

  private:
    TickSource& ticks_;
    ShowTiming timing_{0};
    std::int32_t LastTick_ = 0;
};

}  // namespace tavello
