#include "Sounds.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "foundation/MemoryStream.h"

namespace contentgen {

namespace {

constexpr int kRate = 22050;

// Note numbers of the tunes below.
constexpr int C4 = 60, D4 = 62, E4 = 64, F4 = 65, G4 = 67, A4 = 69, B4 = 71;
constexpr int C5 = 72, D5 = 74, E5 = 76, G5 = 79, A5 = 81, C6 = 84, E6 = 88, G6 = 91, B6 = 95;

NoteShape Shape(float attack, float decay, float release) {
  NoteShape s;
  s.Attack = attack;
  s.Decay = decay;
  s.Release = release;
  return s;
}

// The soft knock of a card laid on the cloth.
void Tap(Mono& m, float at, float gain) {
  m.Note(at, 0.09f, 190, gain, SineTone(), Shape(0.002f, 38, 0.02f));
  m.Noise(at, 0.05f, 2400, 1200, 0.9f, gain * 0.9f, Shape(0.001f, 60, 0.015f), 11);
}

// A quick brush of a card sliding along: noise whose colour moves.
void Swish(Mono& m, float at, float duration, float from, float to, float gain, uint32_t seed) {
  NoteShape s = Shape(duration * 0.35f, 2, duration * 0.6f);
  m.Noise(at, duration, from, to, 0.5f, gain, s, seed);
}

void Chime(Mono& m, float at, int note, float gain, float length = 0.5f) {
  m.Note(at, length, NoteFrequency(note), gain, BellTone(), Shape(0.003f, 5, 0.08f));
}

void Pluck(Mono& m, float at, int note, float gain, float length = 0.35f) {
  m.Note(at, length, NoteFrequency(note), gain, PluckTone(), Shape(0.004f, 7, 0.06f));
}

void Horn(Mono& m, float at, int note, float gain, float length) {
  NoteShape s = Shape(0.04f, 0.8f, 0.15f);
  s.Vibrato = 0.004f;
  m.Note(at, length, NoteFrequency(note), gain, BrassTone(), s);
}

Mono Finished(Mono m, float peak = 0.7f) {
  m.Normalise(peak);
  return m;
}

}  // namespace

std::vector<SoundItem> SoundCatalogue() {
  std::vector<SoundItem> items;
  auto add = [&](std::string name, std::function<Mono()> make) { items.push_back({std::move(name), std::move(make)}); };

  // Cards.
  add("GetCard.ogg", [] {
    Mono m(kRate);
    Swish(m, 0, 0.12f, 1500, 4000, 0.5f, 1);
    NoteShape s = Shape(0.004f, 18, 0.03f);
    s.Glide = 2.5f;
    m.Note(0.01f, 0.12f, 520, 0.35f, SineTone(), s);
    return Finished(m, 0.6f);
  });
  add("GetQuestCard.ogg", [] {
    Mono m(kRate);
    Swish(m, 0, 0.1f, 1500, 4000, 0.4f, 2);
    Chime(m, 0.02f, E6, 0.5f, 0.4f);
    Chime(m, 0.11f, B6, 0.45f, 0.45f);
    return Finished(m, 0.6f);
  });
  add("PutCard.ogg", [] {
    Mono m(kRate);
    Tap(m, 0, 1);
    return Finished(m, 0.65f);
  });
  add("PutQuestCard.ogg", [] {
    Mono m(kRate);
    Tap(m, 0, 0.8f);
    Chime(m, 0.03f, B6, 0.35f, 0.35f);
    Chime(m, 0.1f, E6, 0.35f, 0.45f);
    return Finished(m, 0.65f);
  });
  add("PutJoker.ogg", [] {
    Mono m(kRate);
    Tap(m, 0, 0.7f);
    const int run[] = {C5, E5, G5, C6};
    for (int i = 0; i < 4; ++i) Pluck(m, 0.04f + 0.06f * float(i), run[i], 0.4f, 0.3f);
    return Finished(m, 0.65f);
  });
  add("PutCardOnBonus.ogg", [] {
    Mono m(kRate);
    Tap(m, 0, 0.8f);
    NoteShape s = Shape(0.01f, 6, 0.08f);
    s.Vibrato = 0.01f;
    s.VibratoRate = 9;
    m.Note(0.02f, 0.4f, NoteFrequency(A5), 0.3f, OrganTone(), s);
    return Finished(m, 0.65f);
  });
  add("PutToCastle.ogg", [] {
    Mono m(kRate);
    Tap(m, 0, 0.8f);
    m.Note(0.02f, 0.6f, NoteFrequency(G4), 0.4f, BellTone(), Shape(0.004f, 4, 0.1f));
    return Finished(m, 0.65f);
  });
  add("ReturnCard.ogg", [] {
    Mono m(kRate);
    Swish(m, 0, 0.22f, 3500, 900, 0.6f, 3);
    NoteShape s = Shape(0.01f, 8, 0.05f);
    s.Glide = -1.8f;
    m.Note(0, 0.2f, 700, 0.25f, SineTone(), s);
    return Finished(m, 0.55f);
  });
  add("StealCard.ogg", [] {
    Mono m(kRate);
    Swish(m, 0, 0.18f, 1200, 4500, 0.5f, 4);
    NoteShape s = Shape(0.01f, 3, 0.06f);
    s.Glide = -2.2f;
    m.Note(0.05f, 0.3f, 1100, 0.3f, PluckTone(), s);
    Pluck(m, 0.3f, D4, 0.25f, 0.2f);
    Pluck(m, 0.36f, C4, 0.25f, 0.25f);
    return Finished(m, 0.6f);
  });
  // A card turning face down under the cover: a short flutter of the card
  // and the light knock of it landing, three takes so that a row of turns
  // does not sound mechanical.
  add("FlipCard1.ogg", [] {
    Mono m(kRate);
    Swish(m, 0, 0.09f, 1800, 5000, 0.5f, 40);
    m.Note(0.075f, 0.07f, 260, 0.45f, SineTone(), Shape(0.002f, 45, 0.02f));
    m.Noise(0.075f, 0.04f, 3200, 1800, 0.9f, 0.35f, Shape(0.001f, 70, 0.012f), 41);
    return Finished(m, 0.55f);
  });
  add("FlipCard2.ogg", [] {
    Mono m(kRate);
    Swish(m, 0, 0.11f, 4200, 1600, 0.5f, 42);
    m.Note(0.095f, 0.08f, 215, 0.5f, SineTone(), Shape(0.002f, 40, 0.02f));
    m.Noise(0.095f, 0.04f, 2600, 1400, 0.9f, 0.35f, Shape(0.001f, 70, 0.012f), 43);
    return Finished(m, 0.55f);
  });
  add("FlipCard3.ogg", [] {
    Mono m(kRate);
    Swish(m, 0, 0.06f, 2200, 4800, 0.45f, 44);
    Swish(m, 0.05f, 0.07f, 2600, 5600, 0.45f, 45);
    m.Note(0.11f, 0.07f, 310, 0.4f, SineTone(), Shape(0.002f, 50, 0.02f));
    m.Noise(0.11f, 0.04f, 3800, 2200, 0.9f, 0.3f, Shape(0.001f, 70, 0.012f), 46);
    return Finished(m, 0.55f);
  });
  add("Error.ogg", [] {
    Mono m(kRate);
    NoteShape s = Shape(0.01f, 3, 0.06f);
    m.Note(0, 0.26f, 196, 0.4f, OrganTone(), s);
    m.Note(0, 0.26f, 208, 0.4f, OrganTone(), s);
    return Finished(m, 0.5f);
  });

  // Bonus cards and their effects.
  add("Reverser.ogg", [] {
    Mono m(kRate);
    NoteShape up = Shape(0.02f, 1, 0.02f);
    up.Glide = 5;
    m.Note(0, 0.2f, 300, 0.4f, OrganTone(), up);
    NoteShape down = Shape(0.005f, 3, 0.1f);
    down.Glide = -2.2f;
    m.Note(0.2f, 0.3f, 600, 0.4f, OrganTone(), down);
    Swish(m, 0.05f, 0.4f, 800, 3000, 0.2f, 5);
    return Finished(m, 0.6f);
  });
  add("Remover.ogg", [] {
    Mono m(kRate);
    m.Noise(0, 0.45f, 3000, 300, 0.7f, 1, Shape(0.005f, 7, 0.1f), 6);
    m.Note(0, 0.3f, 120, 0.35f, SineTone(), Shape(0.004f, 10, 0.08f));
    return Finished(m, 0.6f);
  });
  add("Pause.ogg", [] {
    Mono m(kRate);
    Chime(m, 0, A5, 0.5f, 0.25f);
    Chime(m, 0.18f, E5, 0.5f, 0.35f);
    return Finished(m, 0.55f);
  });
  add("BonusInit.ogg", [] {
    Mono m(kRate);
    const int run[] = {C5, D5, E5, G5, A5, C6};
    for (int i = 0; i < 6; ++i) Chime(m, 0.06f * float(i), run[i], 0.3f, 0.4f);
    return Finished(m, 0.6f);
  });
  add("BonusDone.ogg", [] {
    Mono m(kRate);
    for (int n : {C5, E5, G5, C6}) Chime(m, 0, n, 0.3f, 0.9f);
    Swish(m, 0, 0.3f, 4000, 7000, 0.1f, 7);
    return Finished(m, 0.6f);
  });

  // Scoring.
  add("StreetDone.ogg", [] {
    Mono m(kRate);
    const int run[] = {C5, E5, G5, C6};
    for (int i = 0; i < 4; ++i) Pluck(m, 0.08f * float(i), run[i], 0.4f, i == 3 ? 0.5f : 0.3f);
    return Finished(m, 0.65f);
  });
  // Streets of four to six: a plucked run one note longer and a step higher
  // for each card, closing on a chime; seven and more add the full chord.
  add("StreetDone4.ogg", [] {
    Mono m(kRate);
    const int run[] = {G4, C5, E5, G5};
    for (int i = 0; i < 4; ++i) Pluck(m, 0.08f * float(i), run[i], 0.4f, i == 3 ? 0.45f : 0.3f);
    Chime(m, 0.24f, G5, 0.18f, 0.5f);
    return Finished(m, 0.65f);
  });
  add("StreetDone5.ogg", [] {
    Mono m(kRate);
    const int run[] = {C5, D5, E5, G5, A5};
    for (int i = 0; i < 5; ++i) Pluck(m, 0.075f * float(i), run[i], 0.38f, i == 4 ? 0.45f : 0.3f);
    for (int n : {A5, C6}) Chime(m, 0.3f, n, 0.18f, 0.6f);
    return Finished(m, 0.65f);
  });
  add("StreetDone6.ogg", [] {
    Mono m(kRate);
    const int run[] = {C5, D5, E5, G5, A5, C6};
    for (int i = 0; i < 6; ++i) Pluck(m, 0.07f * float(i), run[i], 0.36f, i == 5 ? 0.5f : 0.3f);
    for (int n : {G5, C6, E6}) Chime(m, 0.35f, n, 0.2f, 0.7f);
    return Finished(m, 0.65f);
  });
  add("StreetDone7More.ogg", [] {
    Mono m(kRate);
    const int run[] = {C5, D5, E5, G5, A5, C6, E6};
    for (int i = 0; i < 7; ++i) Pluck(m, 0.07f * float(i), run[i], 0.35f, 0.3f);
    for (int n : {C5, E5, G5, C6, E6}) Chime(m, 0.52f, n, 0.22f, 0.9f);
    return Finished(m, 0.65f);
  });
  add("WallDone.ogg", [] {
    Mono m(kRate);
    m.Noise(0, 0.7f, 500, 150, 0.8f, 1, Shape(0.005f, 4, 0.15f), 8);
    for (int i = 0; i < 5; ++i) {
      const float at = 0.03f + 0.09f * float(i) + 0.02f * float(i % 2);
      m.Note(at, 0.12f, 90.0f + 25.0f * float(i % 3), 0.5f - 0.07f * float(i), SineTone(), Shape(0.002f, 25, 0.03f));
      m.Noise(at, 0.06f, 1800, 900, 0.9f, 0.5f - 0.07f * float(i), Shape(0.001f, 40, 0.02f), 20 + uint32_t(i));
    }
    return Finished(m, 0.65f);
  });
  add("CastleDone.ogg", [] {
    Mono m(kRate);
    Horn(m, 0, G4, 0.3f, 0.18f);
    Horn(m, 0.18f, C5, 0.3f, 0.18f);
    Horn(m, 0.36f, E5, 0.3f, 0.18f);
    for (int n : {C5, E5, G5}) Horn(m, 0.54f, n, 0.25f, 0.8f);
    Horn(m, 0.54f, C4, 0.2f, 0.8f);
    return Finished(m, 0.7f);
  });

  // Level end and the map.
  add("LevelDone.ogg", [] {
    Mono m(kRate);
    const int run[] = {C5, E5, G5};
    for (int i = 0; i < 3; ++i) Horn(m, 0.15f * float(i), run[i], 0.3f, 0.16f);
    Horn(m, 0.45f, C6, 0.3f, 0.3f);
    Horn(m, 0.75f, G5, 0.25f, 0.15f);
    for (int n : {C5, E5, G5, C6}) Horn(m, 0.9f, n, 0.22f, 0.95f);
    Horn(m, 0.9f, C4, 0.2f, 0.95f);
    for (int n : {C6, E6, G6}) Chime(m, 0.9f, n, 0.12f, 0.9f);
    return Finished(m, 0.7f);
  });
  add("LevelFailed.ogg", [] {
    Mono m(kRate);
    const int run[] = {G4, 66, F4, E4};
    for (int i = 0; i < 4; ++i) {
      NoteShape s = Shape(0.03f, i == 3 ? 1.2f : 1.5f, 0.12f);
      s.Vibrato = i == 3 ? 0.012f : 0.004f;
      m.Note(0.32f * float(i), i == 3 ? 0.9f : 0.34f, NoteFrequency(run[i]), 0.35f, BrassTone(), s);
    }
    m.Note(0.96f, 0.9f, NoteFrequency(C4 - 12), 0.25f, OrganTone(), Shape(0.05f, 1.5f, 0.2f));
    return Finished(m, 0.65f);
  });
  add("OpenMap.ogg", [] {
    Mono m(kRate);
    for (int i = 0; i < 3; ++i) Swish(m, 0.12f * float(i), 0.18f, 2500, 5000, 0.35f, 30 + uint32_t(i));
    for (int n : {G4, C5, E5}) m.Note(0.25f, 0.75f, NoteFrequency(n), 0.18f, OrganTone(), Shape(0.2f, 1.5f, 0.25f));
    Chime(m, 0.45f, G5, 0.15f, 0.5f);
    return Finished(m, 0.55f);
  });

  // Widgets.
  add("Click.ogg", [] {
    Mono m(kRate);
    m.Note(0, 0.05f, 1400, 0.5f, SineTone(), Shape(0.001f, 70, 0.015f));
    m.Note(0, 0.05f, 420, 0.4f, SineTone(), Shape(0.001f, 60, 0.015f));
    return Finished(m, 0.45f);
  });
  add("Over.ogg", [] {
    Mono m(kRate);
    m.Note(0, 0.045f, 2300, 0.4f, SineTone(), Shape(0.003f, 60, 0.02f));
    return Finished(m, 0.2f);
  });
  add("Check.ogg", [] {
    Mono m(kRate);
    m.Note(0, 0.04f, 1000, 0.4f, SineTone(), Shape(0.001f, 70, 0.012f));
    m.Note(0.035f, 0.05f, 1500, 0.4f, SineTone(), Shape(0.001f, 70, 0.015f));
    return Finished(m, 0.4f);
  });
  return items;
}

namespace {

// The encoder's state, set up for one mono stream and always released.
struct VorbisEncoder {
  VorbisEncoder(int rate, uint32_t serial) {
    vorbis_info_init(&Info);
    if (vorbis_encode_init_vbr(&Info, 1, rate, 0.3f) != 0) {
      vorbis_info_clear(&Info);
      throw std::runtime_error("the Vorbis encoder refused its settings");
    }
    vorbis_comment_init(&Comments);
    vorbis_analysis_init(&Dsp, &Info);
    vorbis_block_init(&Dsp, &Block);
    ogg_stream_init(&Stream, int(serial));
  }
  ~VorbisEncoder() {
    ogg_stream_clear(&Stream);
    vorbis_block_clear(&Block);
    vorbis_dsp_clear(&Dsp);
    vorbis_comment_clear(&Comments);
    vorbis_info_clear(&Info);
  }
  VorbisEncoder(const VorbisEncoder&) = delete;
  VorbisEncoder& operator=(const VorbisEncoder&) = delete;

  vorbis_info Info;
  vorbis_comment Comments;
  vorbis_dsp_state Dsp;
  vorbis_block Block;
  ogg_stream_state Stream;
};

}  // namespace

std::vector<uint8_t> EncodeVorbis(const Mono& sound, uint32_t serial) {
  VorbisEncoder e(sound.Rate(), serial);
  std::vector<uint8_t> out;
  ogg_page page;
  auto takePage = [&] {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
  };
  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&e.Dsp, &e.Comments, &header, &comments, &codebooks);
  ogg_stream_packetin(&e.Stream, &header);
  ogg_stream_packetin(&e.Stream, &comments);
  ogg_stream_packetin(&e.Stream, &codebooks);
  // The audio starts on a page of its own, as players expect.
  while (ogg_stream_flush(&e.Stream, &page) != 0) takePage();

  auto drain = [&] {
    ogg_packet packet;
    while (vorbis_analysis_blockout(&e.Dsp, &e.Block) == 1) {
      vorbis_analysis(&e.Block, nullptr);
      vorbis_bitrate_addblock(&e.Block);
      while (vorbis_bitrate_flushpacket(&e.Dsp, &packet) != 0) {
        ogg_stream_packetin(&e.Stream, &packet);
        while (ogg_stream_pageout(&e.Stream, &page) != 0) takePage();
      }
    }
  };
  const std::vector<float>& samples = sound.Samples();
  for (size_t at = 0; at < samples.size(); at += 1024) {
    const int n = int(std::min<size_t>(1024, samples.size() - at));
    float** buffer = vorbis_analysis_buffer(&e.Dsp, n);
    std::copy(samples.begin() + long(at), samples.begin() + long(at) + n, buffer[0]);
    vorbis_analysis_wrote(&e.Dsp, n);
    drain();
  }
  vorbis_analysis_wrote(&e.Dsp, 0);
  drain();
  while (ogg_stream_flush(&e.Stream, &page) != 0) takePage();
  return out;
}

void WriteSounds(const std::string& outputFolder) {
  uint32_t serial = 0x51A70000;
  for (const SoundItem& item : SoundCatalogue()) {
    const std::vector<uint8_t> bytes = EncodeVorbis(item.Make(), ++serial);
    qv::TMemoryStream s;
    s.Write(bytes.data(), bytes.size());
    s.SaveToFile(std::filesystem::path(outputFolder) / item.Name);
  }
}

}  // namespace contentgen
