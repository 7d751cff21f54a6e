#include "platform/TickCount.h"

#include <ctime>

namespace tavello {
namespace {

class BootClockTicks final : public TickSource {
  public:
    std::int32_t GetTickCount() override {
        timespec ts{};
        clock_gettime(CLOCK_BOOTTIME, &ts);
        const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                        static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
        // The classic counter is 32 bits wide and wraps after about 49.7 days.
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
    }
};

}  // namespace

TickSource& SystemTicks() {
    static BootClockTicks ticks;
    return ticks;
}

}  // namespace tavello
