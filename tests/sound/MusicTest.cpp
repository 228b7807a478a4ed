#include "sound/Music.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <vector>

#include "foundation/FileFolder.h"
#include "foundation/Log.h"
#include "foundation/MemoryStream.h"
#include "platform/AudioTestData.h"

namespace qv {
namespace {

using testdata::Rms;

constexpr int kRate = TAudio::kRate;

TMemoryStream Stream(const std::vector<uint8_t>& bytes) { return TMemoryStream(bytes); }

double RenderRms(TAudio& audio, int frames) {
  std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
  audio.Render(out.data(), frames);
  return Rms(out.data(), out.size());
}

bool LogHas(const std::vector<std::string>& lines, std::string_view text) {
  for (const auto& line : lines)
    if (line.find(text) != std::string::npos) return true;
  return false;
}

struct SoundList : ::testing::Test {
  TAudio Audio;
  TMusicList List{Audio};
  std::string Current;

  void SetUp() override { Log::TakeBuffered(); }
  void LoadSine(std::string_view name, double seconds = 1.0) {
    LoadSound(Stream(testdata::SineOgg(440, seconds, 0.5f)), name, skSample, List);
  }
  void LoadTones(std::string_view name) { LoadSound(Stream(testdata::ToneModule()), name, skMusic, List); }
};

TEST_F(SoundList, LoadsOnlyExactOggAndMo3EntriesOfTheArchiveInOrder) {
  const auto dir = std::filesystem::temp_directory_path() / ("qv_sound_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  {
    auto archive = TFileFolder::CreateNew(dir / "game.zxc");
    archive->AddFile("Put.ogg", 0, Stream(testdata::SineOgg(440, 0.2, 0.5f)));
    archive->AddFile("Loud.OGG", 0, Stream(testdata::SineOgg(440, 0.2, 0.5f)));
    archive->AddFile("vibe-pp.mo3", 0, Stream(testdata::ToneModule()));
    archive->AddFile("Broken.ogg", 0, Stream(std::vector<uint8_t>(500, 7)));
    archive->AddFile("Card.png", 0, Stream(std::vector<uint8_t>(10, 1)));
    archive->AddFile("Title.mo3", 0, Stream(testdata::ToneModule(3)));
    archive->Save();
  }
  TFileFolder archive(dir / "game.zxc");  // entries still on disk
  LoadSoundsFromFolder(archive, List);
  std::filesystem::remove_all(dir);

  ASSERT_EQ(List.Items.size(), 3u);
  EXPECT_EQ(List.Items[0].Name, "Put.ogg");
  EXPECT_EQ(List.Items[0].Kind, skSample);
  EXPECT_TRUE(Audio.IsSample(List.Items[0].Handle));
  EXPECT_EQ(List.Items[1].Name, "vibe-pp.mo3");
  EXPECT_EQ(List.Items[1].Kind, skMusic);
  EXPECT_TRUE(Audio.IsModule(List.Items[1].Handle));
  EXPECT_EQ(List.Items[2].Name, "Title.mo3");
  EXPECT_EQ(IndexOfSound("Loud.OGG", List), -1);
  // The broken sample is named in the log and plays nothing.
  const auto lines = Log::TakeBuffered();
  EXPECT_TRUE(LogHas(lines, "Broken.ogg"));
  EXPECT_EQ(IndexOfSound("Broken.ogg", List), -1);
  EXPECT_EQ(GetSoundHandle("Broken.ogg", List), kNoAudio);
  PlaySoundByName("Broken.ogg", List, 100, 100, 0, Current, 1000);
  EXPECT_EQ(RenderRms(Audio, 1024), 0.0);
  // Names compare exactly.
  EXPECT_EQ(IndexOfSound("put.ogg", List), -1);
}

TEST_F(SoundList, ReloadingANameFreesTheOldObjectAndKeepsTheEntry) {
  LoadSine("A.ogg");
  LoadTones("M.mo3");
  const TAudioHandle old = GetSoundHandle("A.ogg", List);
  LoadSine("A.ogg", 0.5);
  ASSERT_EQ(List.Items.size(), 2u);
  EXPECT_EQ(IndexOfSound("A.ogg", List), 0);
  EXPECT_FALSE(Audio.IsSample(old));
  EXPECT_TRUE(Audio.IsSample(GetSoundHandle("A.ogg", List)));
  // A name loaded again as something else takes that kind.
  LoadTones("A.ogg");
  EXPECT_EQ(List.Items[0].Kind, skMusic);
  // Data that no longer decodes removes the entry: no dead handle stays behind.
  const TAudioHandle module = GetSoundHandle("M.mo3", List);
  LoadSound(Stream({1, 2, 3}), "M.mo3", skMusic, List);
  EXPECT_EQ(IndexOfSound("M.mo3", List), -1);
  EXPECT_FALSE(Audio.IsModule(module));
  EXPECT_TRUE(LogHas(Log::TakeBuffered(), "M.mo3"));
  // Deleting frees the object and moves the later entries down.
  LoadSine("B.ogg");
  const TAudioHandle first = GetSoundHandle("A.ogg", List);
  DeleteSound(0, List);
  EXPECT_FALSE(Audio.IsModule(first));
  ASSERT_EQ(List.Items.size(), 1u);
  EXPECT_EQ(IndexOfSound("B.ogg", List), 0);
  const TAudioHandle last = GetSoundHandle("B.ogg", List);
  DeleteAllSounds(List);
  EXPECT_FALSE(Audio.IsSample(last));
  EXPECT_TRUE(List.Items.empty());
}

TEST_F(SoundList, SamplesPlayAtTheSampleVolumeAndNotAtZero) {
  LoadSine("A.ogg");
  PlaySoundByName("A.ogg", List, 100, 0, 0, Current, 1000);
  EXPECT_EQ(RenderRms(Audio, 4096), 0.0);
  EXPECT_FALSE(Audio.IsPlaying(GetSoundHandle("A.ogg", List)));
  PlaySoundByName("A.ogg", List, 0, 100, 0, Current, 1000);
  const double full = RenderRms(Audio, 4096);
  EXPECT_GT(full, 0.2);
  StopSounds(List, true);
  PlaySoundByName("A.ogg", List, 100, 30, 0, Current, 1000);
  EXPECT_NEAR(RenderRms(Audio, 4096), full * 0.3, full * 0.03);
  EXPECT_EQ(Current, "");  // a sample is never the music
  PlaySoundByName("Nothing.ogg", List, 100, 100, 0, Current, 1000);
}

TEST_F(SoundList, MusicAtVolumeZeroIsSilentButBecomesTheCurrentMusic) {
  LoadTones("M.mo3");
  Current = "Old.mo3";
  PlaySoundByName("M.mo3", List, 0, 100, 0, Current, 1000);
  EXPECT_EQ(Current, "M.mo3");
  EXPECT_FALSE(Audio.IsPlaying(GetSoundHandle("M.mo3", List)));
  EXPECT_EQ(RenderRms(Audio, 4096), 0.0);
}

TEST_F(SoundList, MusicFadesInFromSilenceAndRestartsWithTheFade) {
  LoadTones("M.mo3");
  const TAudioHandle m = GetSoundHandle("M.mo3", List);
  PlaySoundByName("M.mo3", List, 80, 100, 3, Current, 1000);
  EXPECT_EQ(Current, "M.mo3");
  EXPECT_LT(RenderRms(Audio, 1024), 0.01);
  std::vector<int16_t> rest(static_cast<size_t>(kRate) * 2);
  Audio.Render(rest.data(), kRate);
  EXPECT_EQ(Audio.GetVolume(m), 80);
  const double level = RenderRms(Audio, 4096);
  EXPECT_GT(level, 0.05);
  // A second start of the playing module begins again from silence at its position.
  PlaySoundByName("M.mo3", List, 80, 100, 6, Current, 1000);
  EXPECT_LT(RenderRms(Audio, 1024), level * 0.1);
  std::vector<int16_t> start(static_cast<size_t>(kRate / 10) * 2);
  Audio.SetVolume(m, 80);
  Audio.Render(start.data(), kRate / 10);
  const double hz = testdata::ToneHz(testdata::kTonePeriods[6]);
  EXPECT_NEAR(testdata::PitchHz(start.data(), start.size() / 2), hz, hz * 0.03);
}

TEST_F(SoundList, StopSoundsStopsMusicAndOnlyOnRequestSamples) {
  LoadSine("A.ogg", 2.0);
  LoadTones("M.mo3");
  LoadTones("N.mo3");
  PlaySoundByName("A.ogg", List, 100, 100, 0, Current, 0);
  PlaySoundByName("M.mo3", List, 100, 100, 0, Current, 0);
  PlaySoundByName("N.mo3", List, 100, 100, 0, Current, 0);
  RenderRms(Audio, 1024);
  StopSounds(List, false);
  EXPECT_FALSE(Audio.IsPlaying(GetSoundHandle("M.mo3", List)));
  EXPECT_FALSE(Audio.IsPlaying(GetSoundHandle("N.mo3", List)));
  EXPECT_TRUE(Audio.IsPlaying(GetSoundHandle("A.ogg", List)));
  EXPECT_GT(RenderRms(Audio, 1024), 0.2);
  StopSounds(List, true);
  EXPECT_FALSE(Audio.IsPlaying(GetSoundHandle("A.ogg", List)));
  EXPECT_EQ(RenderRms(Audio, 1024), 0.0);
}

}  // namespace
}  // namespace qv
