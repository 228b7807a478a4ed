#include "sound/GameSound.h"

namespace qv {

TGameSound::TGameSound(TMusicList& list, std::string& currentMusic, const int32_t& musicVolume,
                       const int32_t& soundVolume, IClock& clock)
    : List(list),
      CurrentMusic(currentMusic),
      MusicVolume(musicVolume),
      SoundVolume(soundVolume),
      Schedule_(*this, clock) {}

void TGameSound::PlaySample(std::string_view name) {
  PlaySoundByName(name, List, MusicVolume, SoundVolume, 0, CurrentMusic, 1000);
}

void TGameSound::StopAllSounds() { StopSounds(List, true); }

void TGameSound::PlayMusic(std::string_view name, int32_t fadeOutMs, int32_t position, int32_t slideInMs) {
  Schedule_.PlayMusic(name, fadeOutMs, position, slideInMs);
}

void TGameSound::UpdateMusicSchedule(int32_t t) { Schedule_.UpdateMusicSchedule(t); }

void TGameSound::FadeOutMusic(int32_t ms) { FadeOutCurrentMusic(ms); }

bool TGameSound::HasCurrentMusic() { return GetSoundHandle(CurrentMusic, List) != kNoAudio; }

void TGameSound::FadeOutCurrentMusic(int32_t ms) {
  const TAudioHandle handle = GetSoundHandle(CurrentMusic, List);
  if (handle != kNoAudio) List.Audio->SlideVolume(handle, 0, ms);
}

void TGameSound::StopAllMusic() { StopSounds(List, false); }

void TGameSound::PlayMusicByName(std::string_view name, uint16_t position, int32_t slideInMs) {
  PlaySoundByName(name, List, MusicVolume, SoundVolume, position, CurrentMusic, slideInMs);
}

}  // namespace qv
