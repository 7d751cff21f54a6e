#pragma once

#include <cstdint>

namespace tavello {

// Milliseconds since the system started, as a signed 32-bit number that wraps.
class TickSource {
  public:
    virtual ~TickSource() = default;
    virtual std::int32_t GetTickCount() = 0;
};

TickSource& SystemTicks();

}  // namespace tavello
