// Every sample the game or a widget plays and every music module it starts is
// in the archive, decodes, is neither silent nor clipped, and loads into the
// game's sound list.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "content/ContentSupport.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"
#include "game/GameNames.h"
#include "platform/Audio.h"
#include "sound/Music.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

// Names of sounds in the program's sources (between double quotes) and in the
// hand-written content (interface description, language files, levels), so
// that a sound the code or a window starts to play is checked at once.
std::set<std::string> NamesInSources(const std::string& extension) {
  const std::regex quoted("\"([A-Za-z0-9_-]+\\." + extension + ")\"");
  const std::regex word("([A-Za-z0-9_-]+\\." + extension + ")\\b");
  std::set<std::string> out;
  auto scan = [&](const fs::path& folder, const std::regex& pattern) {
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
      if (!e.is_regular_file() || e.path().extension() == ".md") continue;
      const std::string text = ReadText(e.path());
      for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) out.insert((*it)[1]);
    }
  };
  scan(ContentSources().parent_path() / "src", quoted);
  scan(ContentSources(), word);
  return out;
}

// Samples named only by the windows' scripts and handlers yet, the widgets'
// own sounds, and those the card game builds from a number.
std::set<std::string> Samples() {
  std::set<std::string> names = NamesInSources("ogg");
  for (const std::string& n : BuiltSamples()) names.insert(n);
  for (const char* n : {"OpenMap.ogg", "BonusInit.ogg", "LevelDone.ogg", "LevelFailed.ogg", "Error.ogg", "Click.ogg",
                        "Over.ogg", "Check.ogg"})
    names.insert(n);
  return names;
}

// Every module the game starts: the title music, the levels' "Music" and any
// module named in the sources.
std::set<std::string> MusicModules() {
  std::set<std::string> names = NamesInSources("mo3");
  names.insert("vibe-pp.mo3");
  for (const std::string& level : LevelEntries()) {
    auto file = ParseTags(EntryText(WorkingArchive(), level));
    if (file->Tags.empty()) throw Exception(level + " holds no tags");
    const std::string music = Attr(*file->Tags.front(), "Music");
    if (!music.empty()) names.insert(music);
  }
  return names;
}

struct Loudness {
  double Seconds = 0, Peak = 0, Rms = 0;
};

Loudness Measure(const std::vector<float>& samples, int rate) {
  Loudness l;
  double sum = 0;
  for (float v : samples) {
    l.Peak = std::max(l.Peak, double(std::fabs(v)));
    sum += double(v) * v;
  }
  l.Seconds = double(samples.size()) / rate;
  l.Rms = samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
  return l;
}

// Reading an Ogg Vorbis stream from memory.
struct MemoryReader {
  const std::vector<uint8_t>* Bytes;
  size_t At = 0;
};
size_t ReadMem(void* out, size_t size, size_t count, void* source) {
  auto* r = static_cast<MemoryReader*>(source);
  const size_t n = std::min(size * count, r->Bytes->size() - r->At);
  std::memcpy(out, r->Bytes->data() + r->At, n);
  r->At += n;
  return size ? n / size : 0;
}

// Decodes the first channel; an empty result when the stream does not open.
std::vector<float> DecodeVorbis(const std::vector<uint8_t>& bytes, int& rate) {
  struct OpenFile {
    OggVorbis_File File;
    bool Opened = false;
    ~OpenFile() {
      if (Opened) ov_clear(&File);
    }
  } vf;
  MemoryReader reader{&bytes};
  ov_callbacks cb{ReadMem, nullptr, nullptr, nullptr};
  vf.Opened = ov_open_callbacks(&reader, &vf.File, nullptr, 0, cb) == 0;
  if (!vf.Opened) return {};
  rate = int(ov_info(&vf.File, -1)->rate);
  std::vector<float> out;
  float** pcm = nullptr;
  int section = 0;
  long n;
  while ((n = ov_read_float(&vf.File, &pcm, 4096, &section)) > 0) out.insert(out.end(), pcm[0], pcm[0] + n);
  return out;
}

std::vector<uint8_t> Entry(const std::string& name) {
  TMemoryStream* s = WorkingArchive().GetStream(name);
  return s ? s->Bytes() : std::vector<uint8_t>{};
}

TEST(ContentSounds, EverySampleIsInTheArchiveAndPlaysBriefly) {
  const std::set<std::string> names = Samples();
  // The game's own samples alone are more than twenty.
  ASSERT_GE(names.size(), 20u);
  std::map<std::vector<float>, std::string> heard;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> bytes = Entry(name);
    ASSERT_FALSE(bytes.empty()) << "not in the archive";
    int rate = 0;
    const std::vector<float> pcm = DecodeVorbis(bytes, rate);
    ASSERT_FALSE(pcm.empty()) << "does not decode";
    const Loudness l = Measure(pcm, rate);
    EXPECT_GT(l.Seconds, 0.02);
    EXPECT_LT(l.Seconds, 3.0);  // samples overlap play: long ones would pile up
    EXPECT_LT(l.Peak, 0.99) << "clips";
    EXPECT_GT(l.Rms, 0.03) << "too quiet to hear";
    EXPECT_LT(l.Rms, 0.3) << "much louder than the others";
    const auto [same, added] = heard.emplace(pcm, name);
    EXPECT_TRUE(added) << "sounds the same as " << same->second;
  }
}

// A module loaded from memory the way the game loads it, with whatever the
// loader has to say about the file.
struct LoadedModule {
  explicit LoadedModule(const std::vector<uint8_t>& bytes) {
    Module = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), &LoadedModule::Note, this, nullptr, nullptr,
                                                nullptr, nullptr, nullptr);
  }
  ~LoadedModule() {
    if (Module) openmpt_module_destroy(Module);
  }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;
  static void Note(const char* message, void* self) { static_cast<LoadedModule*>(self)->Messages += message; }

  // A few seconds from the start of an order, left channel and right channel
  // one after the other.
  std::vector<float> Render(int order, double seconds) {
    openmpt_module_set_position_order_row(Module, order, 0);
    std::vector<float> pcm(size_t(seconds * 44100) * 2);
    const size_t frames = openmpt_module_read_interleaved_float_stereo(Module, 44100, pcm.size() / 2, pcm.data());
    pcm.resize(frames * 2);
    return pcm;
  }

  openmpt_module* Module = nullptr;
  std::string Messages;
};

TEST(ContentSounds, EveryMusicModuleLoadsAndPlaysATune) {
  const std::set<std::string> names = MusicModules();
  // The title music and four level tunes at least.
  ASSERT_GE(names.size(), 5u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> bytes = Entry(name);
    ASSERT_FALSE(bytes.empty()) << "not in the archive";
    LoadedModule m(bytes);
    ASSERT_NE(m.Module, nullptr) << "does not load";
    EXPECT_EQ(m.Messages, "") << "the loader complains";
    // A tune, not a jingle: it loops back after a good while.
    EXPECT_GT(openmpt_module_get_duration_seconds(m.Module), 40.0);
    const Loudness l = Measure(m.Render(0, 4.0), 44100);
    EXPECT_LT(l.Peak, 0.99) << "clips";
    EXPECT_GT(l.Rms, 0.02) << "too quiet to hear";
  }
}

TEST(ContentSounds, TitleMusicIsAudibleFromEveryOrderTheGameStartsIt) {
  LoadedModule m(Entry("vibe-pp.mo3"));
  ASSERT_NE(m.Module, nullptr);
  ASSERT_GE(openmpt_module_get_num_orders(m.Module), 14);
  for (int order : {0, 5, 13}) {
    SCOPED_TRACE(order);
    const std::vector<float> pcm = m.Render(order, 3.0);
    ASSERT_FALSE(pcm.empty());
    const Loudness l = Measure(pcm, 44100);
    EXPECT_LT(l.Peak, 0.99);
    EXPECT_GT(l.Rms, 0.02);
  }
}

// The game's own sound list takes every sound of the archive, and what it
// plays reaches the mix.
TEST(ContentSounds, TheSoundListLoadsEverySoundTheGamePlays) {
  TAudio audio;  // no device: the mix is pulled by hand
  TMusicList list(audio);
  LoadSoundsFromFolder(WorkingArchive(), list);
  auto loaded = [&](const std::string& name, TSoundKind kind) {
    const int i = IndexOfSound(name, list);
    return i >= 0 && list.Items[size_t(i)].Kind == kind && list.Items[size_t(i)].Handle != kNoAudio;
  };
  for (const std::string& name : Samples()) EXPECT_TRUE(loaded(name, skSample)) << name;
  for (const std::string& name : MusicModules()) EXPECT_TRUE(loaded(name, skMusic)) << name;

  auto mixOf = [&](const char* name) {
    std::string current;
    PlaySoundByName(name, list, 100, 100, 0, current, 0);
    std::vector<int16_t> pcm(size_t(TAudio::kRate / 2) * 2);
    audio.Render(pcm.data(), TAudio::kRate / 2);
    StopSounds(list, true);
    std::vector<float> out;
    for (int16_t v : pcm) out.push_back(float(v) / 32768.0f);
    return Measure(out, TAudio::kRate);
  };
  EXPECT_GT(mixOf("vibe-pp.mo3").Rms, 0.01);
  EXPECT_GT(mixOf("PutCard.ogg").Rms, 0.005);
  DeleteAllSounds(list);
}

}  // namespace
}  // namespace qv::test
