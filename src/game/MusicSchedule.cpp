#include "game/MusicSchedule.h"

namespace qv {

void TMusicSchedule::PlayMusic(std::string_view name, int32_t fadeOutMs, int32_t position, int32_t slideInMs) {
  if (Channels.HasCurrentMusic()) Channels.FadeOutCurrentMusic(fadeOutMs);
  Name = std::string(name);
  StartTime = static_cast<int32_t>(static_cast<uint32_t>(Clock.Now()) + static_cast<uint32_t>(fadeOutMs));
  // -1 marks "nothing pending"; a start landing exactly there moves on by one.
  if (StartTime == -1) StartTime = 0;
  SlideIn = slideInMs;
  Position = static_cast<uint16_t>(position);
}

void TMusicSchedule::UpdateMusicSchedule(int32_t t) {
  if (StartTime == -1 || !(t > StartTime)) return;
  StartTime = -1;
  Channels.StopAllMusic();
  Channels.PlayMusicByName(Name, Position, SlideIn);
}

}  // namespace qv
