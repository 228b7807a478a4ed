// The card game's sound over the sound list: samples by name, the music
// schedule (fade the current music out, then start the next from an order
// position with a slide in) and the fade of the music at a level's end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/Clock.h"
#include "game/GameServices.h"
#include "game/MusicSchedule.h"
#include "sound/Music.h"

namespace qv {

// The list, the current music name and the two volumes stay the shell's and
// are read at every call, so a change of the settings applies at once.
class TGameSound final : public IGameSound, private IMusicChannels {
 public:
  TGameSound(TMusicList& list, std::string& currentMusic, const int32_t& musicVolume, const int32_t& soundVolume,
             IClock& clock);

  void PlaySample(std::string_view name) override;
  void StopAllSounds() override;
  void PlayMusic(std::string_view name, int32_t fadeOutMs, int32_t position, int32_t slideInMs) override;
  void UpdateMusicSchedule(int32_t t) override;
  void FadeOutMusic(int32_t ms) override;

  const TMusicSchedule& Schedule() const { return Schedule_; }

 private:
  bool HasCurrentMusic() override;
  void FadeOutCurrentMusic(int32_t ms) override;
  void StopAllMusic() override;
  void PlayMusicByName(std::string_view name, uint16_t position, int32_t slideInMs) override;

  TMusicList& List;
  std::string& CurrentMusic;
  const int32_t& MusicVolume;
  const int32_t& SoundVolume;
  TMusicSchedule Schedule_;
};

}  // namespace qv
