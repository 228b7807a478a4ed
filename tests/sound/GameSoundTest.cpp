#include "sound/GameSound.h"

#include <gtest/gtest.h>

#include <vector>

#include "foundation/MemoryStream.h"
#include "platform/AudioTestData.h"

namespace qv {
namespace {

constexpr int kRate = TAudio::kRate;

std::vector<int16_t> Render(TAudio& audio, int frames) {
  std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
  audio.Render(out.data(), frames);
  return out;
}

double RenderRms(TAudio& audio, int frames) {
  const auto out = Render(audio, frames);
  return testdata::Rms(out.data(), out.size());
}

struct GameSound : ::testing::Test {
  TAudio Audio;
  TMusicList List{Audio};
  std::string Current;
  int32_t MusicVolume = 100;
  int32_t SoundVolume = 100;
  ManualClock Clock;
  TGameSound Sound{List, Current, MusicVolume, SoundVolume, Clock};

  void SetUp() override {
    LoadSound(TMemoryStream(testdata::SineOgg(440, 1.0, 0.5f)), "PutCard.ogg", skSample, List);
    LoadSound(TMemoryStream(testdata::ToneModule()), "title.mo3", skMusic, List);
    LoadSound(TMemoryStream(testdata::ToneModule()), "vibe-pp.mo3", skMusic, List);
  }
  TAudioHandle Handle(std::string_view name) { return GetSoundHandle(name, List); }
  // Advances the clock and the mix together, as the running game does.
  void Run(int32_t ms) {
    Clock.Advance(ms);
    RenderRms(Audio, ms * kRate / 1000);
    Sound.UpdateMusicSchedule(Clock.Now());
  }
};

TEST_F(GameSound, AChangeOfMusicFadesOutThenStartsTheNextAtItsOrder) {
  PlaySoundByName("title.mo3", List, MusicVolume, SoundVolume, 0, Current, 0);
  Sound.PlayMusic("vibe-pp.mo3", 1000, 5, 1000);
  Run(500);
  EXPECT_NEAR(Audio.GetVolume(Handle("title.mo3")), 50, 2);
  Run(500);
  EXPECT_EQ(Audio.GetVolume(Handle("title.mo3")), 0);
  EXPECT_EQ(Current, "title.mo3");  // the start waits for a time past the fade
  Sound.PlaySample("PutCard.ogg");
  Run(1);
  EXPECT_EQ(Current, "vibe-pp.mo3");
  EXPECT_TRUE(Audio.IsPlaying(Handle("PutCard.ogg")));  // the change stops music only
  Audio.Stop(Handle("PutCard.ogg"));
  EXPECT_FALSE(Audio.IsPlaying(Handle("title.mo3")));
  EXPECT_TRUE(Audio.IsPlaying(Handle("vibe-pp.mo3")));
  EXPECT_FALSE(Sound.Schedule().Pending());
  // It starts at order 5, sliding in from silence.
  Audio.SetVolume(Handle("vibe-pp.mo3"), 100);
  std::vector<int16_t> out(static_cast<size_t>(kRate / 10) * 2);
  Audio.Render(out.data(), kRate / 10);
  const double hz = testdata::ToneHz(testdata::kTonePeriods[5]);
  EXPECT_NEAR(testdata::PitchHz(out.data(), out.size() / 2), hz, hz * 0.03);
}

TEST_F(GameSound, MusicSlidesInAtTheMusicVolumeOfTheSettings) {
  MusicVolume = 60;
  Sound.PlayMusic("vibe-pp.mo3", 0, 0, 1000);
  Run(1);
  EXPECT_LT(Audio.GetVolume(Handle("vibe-pp.mo3")), 2);
  Run(1000);
  EXPECT_EQ(Audio.GetVolume(Handle("vibe-pp.mo3")), 60);
  // A missing name stops the music and plays nothing.
  Sound.PlayMusic("Missing.mo3", 0, 0, 1000);
  Run(1);
  EXPECT_FALSE(Audio.IsPlaying(Handle("vibe-pp.mo3")));
  EXPECT_EQ(Current, "vibe-pp.mo3");
}

TEST_F(GameSound, LevelEndFadeAndStopAll) {
  PlaySoundByName("title.mo3", List, MusicVolume, SoundVolume, 0, Current, 0);
  Sound.PlaySample("PutCard.ogg");
  EXPECT_TRUE(Audio.IsPlaying(Handle("PutCard.ogg")));
  Sound.FadeOutMusic(1000);
  Run(1000);
  EXPECT_EQ(Audio.GetVolume(Handle("title.mo3")), 0);
  EXPECT_TRUE(Audio.IsPlaying(Handle("title.mo3")));
  Sound.StopAllSounds();
  EXPECT_FALSE(Audio.IsPlaying(Handle("title.mo3")));
  EXPECT_FALSE(Audio.IsPlaying(Handle("PutCard.ogg")));
  // The sound volume of the settings is the sample's channel volume.
  SoundVolume = 100;
  Sound.PlaySample("PutCard.ogg");
  const double full = RenderRms(Audio, 4096);
  Sound.StopAllSounds();
  SoundVolume = 40;
  Sound.PlaySample("PutCard.ogg");
  const auto heard = Render(Audio, 4096);
  EXPECT_NEAR(testdata::Rms(heard.data(), heard.size()), full * 0.4, full * 0.03);
  Sound.StopAllSounds();
  Audio.PlaySample(Handle("PutCard.ogg"), 40);
  EXPECT_TRUE(Render(Audio, 4096) == heard) << "the sound of a channel at exactly 40";
  Sound.StopAllSounds();
  SoundVolume = 0;
  Sound.PlaySample("PutCard.ogg");
  EXPECT_FALSE(Audio.IsPlaying(Handle("PutCard.ogg")));
}

}  // namespace
}  // namespace qv
