// The game clock: signed 32-bit milliseconds. The real clock reads 1,000,000
// at process start, so a timer value of 0 or -1 never meets a real time.
#pragma once

#include <cstdint>

namespace qv {

class IClock {
 public:
  virtual ~IClock() = default;
  virtual int32_t Now() const = 0;
};

class RealClock : public IClock {
 public:
  static constexpr int32_t kStart = 1000000;
  int32_t Now() const override;
};

// A clock that only moves when told to; for tests and replays.
class ManualClock : public IClock {
 public:
  explicit ManualClock(int32_t start = RealClock::kStart) : now_(start) {}
  int32_t Now() const override { return now_; }
  void Set(int32_t t) { now_ = t; }
  void Advance(int32_t ms) { now_ = static_cast<int32_t>(static_cast<uint32_t>(now_) + static_cast<uint32_t>(ms)); }

 private:
  int32_t now_;
};

// The process-wide clock (a RealClock unless replaced). SetClock does not take
// ownership; passing nullptr restores the real clock.
IClock& Clock();
void SetClock(IClock* clock);

// The tick count: Clock().Now().
inline int32_t GetTickCount() { return Clock().Now(); }

}  // namespace qv
