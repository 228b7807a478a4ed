#include "platform/Audio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/AudioTestData.h"

namespace qv {
namespace {

using testdata::PitchHz;
using testdata::Rms;

constexpr int kRate = TAudio::kRate;

std::vector<int16_t> RenderFrames(TAudio& audio, int frames) {
  std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
  audio.Render(out.data(), frames);
  return out;
}

double RenderRms(TAudio& audio, int frames) {
  const auto out = RenderFrames(audio, frames);
  return Rms(out.data(), out.size());
}

TAudioHandle LoadOgg(TAudio& audio, const std::vector<uint8_t>& bytes, int maxPlaybacks = TAudio::kMaxPlaybacks) {
  std::string error;
  const TAudioHandle h = audio.LoadSample(bytes.data(), bytes.size(), maxPlaybacks, error);
  EXPECT_NE(h, kNoAudio) << error;
  return h;
}

TAudioHandle LoadTones(TAudio& audio) {
  const auto bytes = testdata::ToneModule();
  std::string error;
  const TAudioHandle h = audio.LoadModule(bytes.data(), bytes.size(), error);
  EXPECT_NE(h, kNoAudio) << error;
  return h;
}

TEST(Audio, SampleDecodesPlaysOnceAndEnds) {
  TAudio audio;
  const TAudioHandle s = LoadOgg(audio, testdata::SineOgg(440, 0.5, 0.5f));
  EXPECT_TRUE(audio.IsSample(s));
  EXPECT_EQ(RenderRms(audio, 4410), 0.0);
  const TAudioHandle p = audio.PlaySample(s, 100);
  ASSERT_NE(p, kNoAudio);
  const auto out = RenderFrames(audio, kRate / 4);
  EXPECT_NEAR(Rms(out.data(), out.size()), 0.5 / std::sqrt(2.0), 0.03);
  EXPECT_NEAR(PitchHz(out.data(), out.size() / 2), 440, 5);
  EXPECT_TRUE(audio.IsPlaying(p));
  RenderFrames(audio, kRate / 4 + 2048);
  EXPECT_FALSE(audio.IsPlaying(s));
  EXPECT_EQ(RenderRms(audio, 1024), 0.0);
}

TEST(Audio, MonoAndOtherRatesBecomeStereoAtTheMixerRate) {
  TAudio audio;
  const TAudioHandle s = LoadOgg(audio, testdata::EncodeOgg(testdata::SineWave(300, 1.0, 0.5f, 22050, 1), 1, 22050));
  audio.PlaySample(s, 100);
  const auto out = RenderFrames(audio, kRate / 2);
  EXPECT_NEAR(PitchHz(out.data(), out.size() / 2), 300, 5);
  for (size_t i = 0; i < out.size(); i += 2) ASSERT_EQ(out[i], out[i + 1]);
  // One second of sound lasts one second of mixing.
  RenderFrames(audio, kRate / 2 - 2048);
  EXPECT_TRUE(audio.IsPlaying(s));
  RenderFrames(audio, 4096);
  EXPECT_FALSE(audio.IsPlaying(s));
  // A stereo sample keeps its two channels apart, resampled or not: 300 Hz
  // left, 500 Hz right.
  for (const int rate : {kRate, 22050}) {
    std::vector<float> apart = testdata::SineWave(300, 0.5, 0.5f, rate);
    const std::vector<float> right = testdata::SineWave(500, 0.5, 0.5f, rate);
    for (size_t i = 1; i < apart.size(); i += 2) apart[i] = right[i];
    const TAudioHandle stereo = LoadOgg(audio, testdata::EncodeOgg(apart, 2, rate));
    audio.PlaySample(stereo, 100);
    const auto both = RenderFrames(audio, kRate / 4);
    EXPECT_NEAR(PitchHz(both.data(), both.size() / 2), 300, 5) << rate;
    EXPECT_NEAR(PitchHz(both.data() + 1, both.size() / 2 - 1), 500, 5) << rate;  // the right channel
    audio.Stop(stereo);
  }
}

TEST(Audio, DataThatDoesNotDecodeIsRefusedWithAText) {
  TAudio audio;
  std::string error;
  const std::vector<uint8_t> junk(300, 0x5A);
  EXPECT_EQ(audio.LoadSample(junk.data(), junk.size(), 5, error), kNoAudio);
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_EQ(audio.LoadModule(junk.data(), junk.size(), error), kNoAudio);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(audio.LoadSample(nullptr, 0, 5, error), kNoAudio);
  EXPECT_EQ(audio.LoadModule(nullptr, 0, error), kNoAudio);
  // A file cut short is refused with a text when no sound arrived whole (cut
  // inside its headers or its only page of sound); a longer one keeps what
  // arrived, which plays and ends.
  const auto ogg = testdata::SineOgg(440, 0.5, 0.5f);
  for (const size_t cut : {ogg.size() / 2, ogg.size() - 200}) {
    error.clear();
    EXPECT_EQ(audio.LoadSample(ogg.data(), cut, 5, error), kNoAudio) << cut;
    EXPECT_FALSE(error.empty()) << cut;
  }
  // Damaged sound pages are skipped, or end the sound early; what the decoder
  // itself refuses is a set-up header that parses but cannot be decoded with:
  // the first codebook's first codewords all one bit long, more than a prefix
  // code holds. Its page's checksum is made right again.
  auto broken = ogg;
  const std::string bytes(broken.begin(), broken.end());
  const size_t book = bytes.find("BCV"), page = bytes.rfind("OggS", book);
  ASSERT_NE(book, std::string::npos);
  broken[book + 8] = broken[book + 9] = 0;  // neither ordered nor sparse, lengths 1, 1, ...
  ogg_page og{};
  og.header = &broken[page];
  og.header_len = 27 + broken[page + 26];
  og.body = og.header + og.header_len;
  for (int i = 0; i < broken[page + 26]; ++i) og.body_len += broken[page + 27 + i];
  ogg_page_checksum_set(&og);
  error.clear();
  EXPECT_EQ(audio.LoadSample(broken.data(), broken.size(), 5, error), kNoAudio);
  EXPECT_NE(error.find("damaged"), std::string::npos) << error;
  auto longer = testdata::SineOgg(440, 3.0, 0.5f);
  longer.resize(longer.size() * 3 / 4);
  const TAudioHandle cut = LoadOgg(audio, longer);
  audio.PlaySample(cut, 100);
  RenderFrames(audio, kRate);
  EXPECT_TRUE(audio.IsPlaying(cut));
  RenderFrames(audio, kRate * 2);
  EXPECT_FALSE(audio.IsPlaying(cut));
  // A sample longer than the mixer holds is refused rather than kept.
  const auto tooLong = testdata::EncodeOgg(std::vector<float>(8000 * (TAudio::kMaxSampleSeconds + 1), 0.0f), 1, 8000);
  error.clear();
  EXPECT_EQ(audio.LoadSample(tooLong.data(), tooLong.size(), 5, error), kNoAudio);
  EXPECT_NE(error.find("seconds"), std::string::npos) << error;
  EXPECT_FALSE(audio.Free(kNoAudio));
  EXPECT_EQ(audio.PlaySample(kNoAudio, 100), kNoAudio);
  EXPECT_FALSE(audio.PlayModule(12345, 0));
}

TEST(Audio, ASixthPlaybackCutsTheOldestOfThatSampleOnly) {
  TAudio audio;
  const TAudioHandle a = LoadOgg(audio, testdata::SineOgg(440, 1.0, 0.1f));
  const TAudioHandle b = LoadOgg(audio, testdata::SineOgg(660, 1.0, 0.1f));
  const TAudioHandle otherSound = audio.PlaySample(b, 100);
  std::vector<TAudioHandle> plays;
  for (int i = 0; i < 6; ++i) {
    plays.push_back(audio.PlaySample(a, 100));
    RenderFrames(audio, 256);
  }
  EXPECT_FALSE(audio.IsPlaying(plays[0]));
  for (int i = 1; i < 6; ++i) EXPECT_TRUE(audio.IsPlaying(plays[i])) << i;
  EXPECT_TRUE(audio.IsPlaying(otherSound));
  // Stopping the sample stops all of its playbacks, not the other sample.
  audio.Stop(a);
  EXPECT_FALSE(audio.IsPlaying(a));
  EXPECT_TRUE(audio.IsPlaying(b));
  // Freeing a sounding sample silences it at once.
  EXPECT_TRUE(audio.Free(b));
  EXPECT_FALSE(audio.IsSample(b));
  EXPECT_EQ(RenderRms(audio, 1024), 0.0);
}

TEST(Audio, SumsSaturateInsteadOfWrapping) {
  TAudio audio;
  // Five loud copies of one wave in phase sum to far beyond full scale.
  const TAudioHandle s = LoadOgg(audio, testdata::SineOgg(100, 0.5, 0.9f));
  for (int i = 0; i < 5; ++i) audio.PlaySample(s, 100);
  const auto out = RenderFrames(audio, kRate / 10);
  const auto ref = [&] {
    TAudio single;
    single.PlaySample(LoadOgg(single, testdata::SineOgg(100, 0.5, 0.9f)), 100);
    return RenderFrames(single, kRate / 10);
  }();
  int clipped = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    // Every value keeps the sign of the wave; a wrap would flip it.
    if (ref[i] > 2000) {
      ASSERT_GT(out[i], 0) << i;
    }
    if (ref[i] < -2000) {
      ASSERT_LT(out[i], 0) << i;
    }
    if (out[i] == 32767 || out[i] == -32768) ++clipped;
  }
  EXPECT_GT(clipped, 100);
}

TEST(Audio, ChannelAndGlobalVolumesScaleTheLevel) {
  TAudio audio;
  const TAudioHandle s = LoadOgg(audio, testdata::SineOgg(440, 2.0, 0.5f));
  const TAudioHandle p = audio.PlaySample(s, 100);
  RenderFrames(audio, 2048);
  const double full = RenderRms(audio, 4096);
  audio.SetGlobalVolumes(100, 50);
  EXPECT_NEAR(RenderRms(audio, 4096), full / 2, 0.01);
  audio.SetVolume(p, 50);
  EXPECT_EQ(audio.GetVolume(p), 50);
  EXPECT_NEAR(RenderRms(audio, 4096), full / 4, 0.01);
  // The music volume leaves samples alone.
  audio.SetGlobalVolumes(0, 50);
  EXPECT_NEAR(RenderRms(audio, 4096), full / 4, 0.01);
  audio.SetGlobalVolumes(100, 0);
  EXPECT_EQ(RenderRms(audio, 4096), 0.0);
  EXPECT_EQ(audio.SampleVolume(), 0);
  audio.SetGlobalVolumes(300, -5);
  EXPECT_EQ(audio.MusicVolume(), 100);
  EXPECT_EQ(audio.SampleVolume(), 0);
  // A sample starts at its channel volume; at 0 it is silent.
  audio.SetGlobalVolumes(100, 100);
  audio.Stop(s);
  EXPECT_EQ(audio.GetVolume(audio.PlaySample(s, 60)), 60);
  EXPECT_NEAR(RenderRms(audio, 4096), full * 0.6, 0.01);
  audio.Stop(s);
  audio.PlaySample(s, 0);
  EXPECT_EQ(RenderRms(audio, 4096), 0.0);
}

TEST(Audio, SlidesRunByThemselvesOverMixedTime) {
  TAudio audio;
  const TAudioHandle s = LoadOgg(audio, testdata::SineOgg(441, 3.0, 0.5f));
  const TAudioHandle p = audio.PlaySample(s, 100);
  RenderFrames(audio, 4096);
  const double full = RenderRms(audio, 4096);
  audio.SetVolume(p, 0);
  audio.SlideVolume(p, 100, 1000);
  std::vector<double> windows;
  for (int i = 0; i < 43; ++i) windows.push_back(RenderRms(audio, 1024));
  EXPECT_LT(windows[0], full * 0.05);
  EXPECT_NEAR(windows[21], full / 2, full * 0.06);
  for (size_t i = 1; i < windows.size(); ++i) EXPECT_GE(windows[i], windows[i - 1] - full * 0.02) << i;
  // Within one block after 1000 ms the target level holds.
  RenderFrames(audio, 1024);
  EXPECT_NEAR(RenderRms(audio, 1024), full, full * 0.03);
  EXPECT_EQ(audio.GetVolume(p), 100);
  // A fade-out ends in silence while the playback goes on.
  audio.SlideVolume(p, 0, 500);
  RenderFrames(audio, kRate / 2);
  EXPECT_EQ(RenderRms(audio, 1024), 0.0);
  EXPECT_TRUE(audio.IsPlaying(p));
  // Setting a volume ends a running slide.
  audio.SlideVolume(p, 100, 1000);
  audio.SetVolume(p, 20);
  RenderFrames(audio, kRate / 10);
  EXPECT_EQ(audio.GetVolume(p), 20);
  audio.SlideVolume(p, 70, 0);
  EXPECT_EQ(audio.GetVolume(p), 70);
}

TEST(Audio, ModulesStartAtTheGivenOrderAndLoop) {
  TAudio audio;
  const TAudioHandle m = LoadTones(audio);
  EXPECT_TRUE(audio.IsModule(m));
  EXPECT_EQ(RenderRms(audio, 1024), 0.0);  // loaded, not playing
  for (int order : {5, 0, 3, 7}) {
    ASSERT_TRUE(audio.PlayModule(m, order));
    // The first 120 ms lie inside the order's 160 ms.
    const auto out = RenderFrames(audio, kRate * 12 / 100);
    EXPECT_NEAR(PitchHz(out.data(), out.size() / 2), testdata::ToneHz(testdata::kTonePeriods[order]),
                testdata::ToneHz(testdata::kTonePeriods[order]) * 0.03)
        << "order " << order;
  }
  // Past its last order the song goes round again.
  audio.PlayModule(m, 7);
  RenderFrames(audio, kRate * 2);
  EXPECT_TRUE(audio.IsPlaying(m));
  EXPECT_GT(RenderRms(audio, 4096), 0.05);
  // A position past the end starts from the top.
  ASSERT_TRUE(audio.PlayModule(m, 40));
  const auto out = RenderFrames(audio, kRate / 10);
  EXPECT_NEAR(PitchHz(out.data(), out.size() / 2), testdata::ToneHz(856), 5);
  audio.Stop(m);
  EXPECT_FALSE(audio.IsPlaying(m));
  EXPECT_EQ(RenderRms(audio, 1024), 0.0);
}

TEST(Audio, ModulesFollowTheMusicVolume) {
  TAudio audio;
  const TAudioHandle m = LoadTones(audio);
  audio.PlayModule(m, 2);
  const double full = RenderRms(audio, 4096);
  ASSERT_GT(full, 0.05);
  audio.PlayModule(m, 2);
  audio.SetGlobalVolumes(50, 100);
  EXPECT_NEAR(RenderRms(audio, 4096), full / 2, full * 0.05);
  audio.SetGlobalVolumes(0, 100);
  EXPECT_EQ(RenderRms(audio, 4096), 0.0);
  EXPECT_TRUE(audio.IsPlaying(m));
}

TEST(Audio, PauseHaltsTheWholeOutputWhereItIs) {
  TAudio audio;
  const TAudioHandle s = LoadOgg(audio, testdata::SineOgg(440, 0.2, 0.5f));
  const TAudioHandle p = audio.PlaySample(s, 100);
  audio.SetVolume(p, 0);
  audio.SlideVolume(p, 100, 100);
  RenderFrames(audio, kRate / 20);
  audio.Pause();
  EXPECT_TRUE(audio.Paused());
  EXPECT_EQ(RenderRms(audio, kRate), 0.0);
  EXPECT_TRUE(audio.IsPlaying(p));
  EXPECT_NEAR(audio.GetVolume(p), 50, 3);  // the slide stood still too
  audio.Start();
  EXPECT_GT(RenderRms(audio, 1024), 0.1);
  RenderFrames(audio, kRate * 15 / 100 - 1024 + 2048);
  EXPECT_FALSE(audio.IsPlaying(p));
}

TEST(Audio, WithoutAWorkingDriverTheDummyOneTakesOver) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  TAudio audio;
  std::string error;
  const bool opened = audio.OpenDevice(error);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_TRUE(opened) << error;
  EXPECT_EQ(audio.DriverName(), "dummy");
}

// The dummy driver pulls the mix on its own thread while this thread changes
// the mixer; a sanitizer run of this test watches for races.
TEST(Audio, TheDeviceMixesOnItsOwnThread) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  TAudio audio;
  std::string error;
  ASSERT_TRUE(audio.OpenDevice(error)) << error;
  EXPECT_TRUE(audio.DeviceOpen());
  EXPECT_FALSE(audio.DriverName().empty());
  const TAudioHandle s = LoadOgg(audio, testdata::SineOgg(440, 0.05, 0.5f));
  const TAudioHandle m = LoadTones(audio);
  audio.PlayModule(m, 0);
  audio.SlideVolume(m, 0, 300);
  for (int i = 0; i < 200; ++i) {
    const TAudioHandle p = audio.PlaySample(s, 100);
    audio.SetVolume(p, i % 100);
    if (i % 50 == 0) {
      audio.Pause();
      audio.Start();
    }
    if (i % 20 == 0) audio.SetGlobalVolumes(i % 100, 100 - i % 100);
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  // The device pulls the mix by itself: a short sample ends without Render,
  // unless the output is paused.
  auto endsWithin = [&](TAudioHandle p, int ms) {
    for (int waited = 0; waited < ms && audio.IsPlaying(p); waited += 10)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !audio.IsPlaying(p);
  };
  audio.Stop(s);
  audio.Pause();
  const TAudioHandle held = audio.PlaySample(s, 100);
  EXPECT_FALSE(endsWithin(held, 300));
  audio.Start();
  EXPECT_TRUE(endsWithin(held, 3000));
  const TAudioHandle again = LoadOgg(audio, testdata::SineOgg(220, 0.05, 0.5f));
  audio.PlaySample(again, 100);
  EXPECT_TRUE(audio.Free(again));
  EXPECT_TRUE(audio.Free(m));
  audio.CloseDevice();
  EXPECT_FALSE(audio.DeviceOpen());
  // Reopening works, and closing is left to the destructor.
  ASSERT_TRUE(audio.OpenDevice(error)) << error;
  audio.PlaySample(s, 100);
}

}  // namespace
}  // namespace qv
