// The music schedule: a change of music fades the current module out and
// starts the next one when the fade is over. At most one change is pending;
// a new one replaces it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/Clock.h"

namespace qv {

// What the schedule needs of the sound list.
class IMusicChannels {
 public:
  virtual ~IMusicChannels() = default;
  // The current music has a channel to fade.
  virtual bool HasCurrentMusic() = 0;
  // Slides the current music's volume to 0 over ms, frequency and pan unchanged.
  virtual void FadeOutCurrentMusic(int32_t ms) = 0;
  // Stops every music channel; samples go on.
  virtual void StopAllMusic() = 0;
  // Plays a module by name at the global volumes from an order position,
  // sliding its volume in, and makes it the current music. A missing name
  // plays nothing.
  virtual void PlayMusicByName(std::string_view name, uint16_t position, int32_t slideInMs) = 0;
};

class TMusicSchedule {
 public:
  TMusicSchedule(IMusicChannels& channels, IClock& clock) : Channels(channels), Clock(clock) {}

  void PlayMusic(std::string_view name, int32_t fadeOutMs, int32_t position, int32_t slideInMs);
  void UpdateMusicSchedule(int32_t t);

  bool Pending() const { return StartTime != -1; }
  const std::string& PendingName() const { return Name; }
  int32_t PendingStart() const { return StartTime; }

 private:
  IMusicChannels& Channels;
  IClock& Clock;
  std::string Name;
  int32_t StartTime = -1;
  int32_t SlideIn = 0;
  uint16_t Position = 0;
};

}  // namespace qv
