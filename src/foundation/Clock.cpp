#include "foundation/Clock.h"

#include <chrono>

namespace qv {

namespace {
const auto kProcessStart = std::chrono::steady_clock::now();
RealClock gRealClock;
IClock* gClock = &gRealClock;
}  // namespace

int32_t RealClock::Now() const {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - kProcessStart).count();
  // Wraps like the system's tick count would after about 24 days.
  return static_cast<int32_t>(static_cast<uint32_t>(kStart) + static_cast<uint32_t>(ms));
}

IClock& Clock() { return *gClock; }
void SetClock(IClock* clock) { gClock = clock ? clock : &gRealClock; }

}  // namespace qv
