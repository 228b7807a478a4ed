#include "Music.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <stdexcept>

#include "Canvas.h"
#include "Synth.h"
#include "foundation/MemoryStream.h"

namespace contentgen {

namespace {

// Pitched instruments are drawn at C-4 with a period of exactly 32 samples
// at the module's base rate, so that looped waves join without a seam.
constexpr int kBaseRate = 8363;
constexpr float kBaseFreq = float(kBaseRate) / 32.0f;
constexpr int kChannels = 8;
constexpr int kRows = 64;
constexpr int kKeyOff = 97;

enum Instrument : uint8_t { kLead = 1, kBell, kBass, kPad, kKick, kSnare, kHat, kInstrumentCount = kHat };
enum Channel { chMelody, chArp, chBass, chPad1, chPad2, chPad3, chDrum, chHat };

// ---- Instruments ----------------------------------------------------------

struct EnvelopePoint {
  uint16_t Tick, Level;  // level 0..64
};

struct Sample {
  std::string Name;
  std::vector<int16_t> Data;
  bool Loop = false;
  uint8_t Volume = 64;  // 0..64
  uint8_t Panning = 128;
  int8_t RelativeNote = 0;
  std::vector<EnvelopePoint> Envelope;  // empty: none
  uint8_t Sustain = 0;                  // envelope point held until the key is released
  uint16_t Fadeout = 0;
  uint8_t VibratoDepth = 0, VibratoRate = 0, VibratoSweep = 0;
};

std::vector<int16_t> Quantise(const std::vector<float>& v) {
  float most = 0;
  for (float x : v) most = std::max(most, std::fabs(x));
  const float scale = most > 0 ? 0.95f * 32767.0f / most : 0.0f;
  std::vector<int16_t> out(v.size());
  for (size_t i = 0; i < v.size(); ++i) out[i] = int16_t(std::lround(std::clamp(v[i] * scale, -32767.0f, 32767.0f)));
  return out;
}

// Eight periods of a wave of harmonics (level per harmonic 1, 2, ...).
std::vector<int16_t> PeriodicWave(const std::vector<float>& harmonics) {
  std::vector<float> v(32 * 8);
  for (size_t i = 0; i < v.size(); ++i)
    for (size_t h = 0; h < harmonics.size(); ++h)
      v[i] += harmonics[h] * float(std::sin(6.283185307179586 * double(h + 1) * double(i) / 32.0));
  return Quantise(v);
}

Sample LeadSample(int timbre) {
  static const std::vector<float> waves[3] = {{1, 0.35f, 0.2f, 0.1f},                        // soft organ
                                              {1, 0.15f, 0.08f},                             // flute
                                              {1, 0.08f, 0.5f, 0.05f, 0.3f, 0.03f, 0.15f}};  // reed: odd harmonics
  Sample s;
  s.Name = "Lead";
  s.Data = PeriodicWave(waves[std::clamp(timbre, 0, 2)]);
  s.Loop = true;
  s.Volume = 40;
  s.Envelope = {{0, 40}, {2, 64}, {12, 46}, {40, 30}, {56, 0}};
  s.Sustain = 3;
  s.Fadeout = 0xC00;
  s.VibratoDepth = 3;
  s.VibratoRate = 6;
  s.VibratoSweep = 40;
  return s;
}

Sample PadSample() {
  Sample s;
  s.Name = "Pad";
  s.Data = PeriodicWave({1, 0.5f, 0.12f, 0.06f});
  s.Loop = true;
  s.Volume = 14;
  s.Panning = 100;
  s.Envelope = {{0, 0}, {24, 64}, {60, 48}, {84, 0}};
  s.Sustain = 2;
  s.Fadeout = 0x180;
  return s;
}

Sample BellSample() {
  Mono m(kBaseRate);
  NoteShape shape;
  shape.Attack = 0.002f;
  shape.Decay = 5;
  shape.Release = 0.1f;
  m.Note(0, 0.7f, kBaseFreq, 1, BellTone(), shape);
  Sample s;
  s.Name = "Bell";
  s.Data = Quantise(m.Samples());
  s.Volume = 22;
  s.Panning = 165;
  return s;
}

// Played two octaves below its drawing pitch, so its decays are four times
// as fast here.
Sample BassSample() {
  Mono m(kBaseRate);
  NoteShape shape;
  shape.Attack = 0.002f;
  shape.Decay = 10;
  shape.Release = 0.05f;
  const Timbre t = {{1, 1, 0}, {2, 0.6f, 8}, {3, 0.35f, 16}, {4, 0.2f, 28}, {5, 0.1f, 40}};
  m.Note(0, 0.4f, kBaseFreq, 1, t, shape);
  Sample s;
  s.Name = "Bass";
  s.Data = Quantise(m.Samples());
  s.Volume = 50;
  return s;
}

Sample KickSample() {
  Mono m(kBaseRate);
  NoteShape tone;
  tone.Attack = 0.001f;
  tone.Decay = 9;
  tone.Release = 0.05f;
  tone.Glide = -2.6f;
  m.Note(0, 0.3f, 150, 1, SineTone(), tone);
  NoteShape click;
  click.Attack = 0.0005f;
  click.Decay = 120;
  click.Release = 0.01f;
  m.Noise(0, 0.03f, 1500, 800, 0.9f, 0.6f, click, 101);
  Sample s;
  s.Name = "Kick";
  s.Data = Quantise(m.Samples());
  s.Volume = 50;
  return s;
}

Sample SnareSample() {
  Mono m(kBaseRate * 2);
  NoteShape tone;
  tone.Attack = 0.001f;
  tone.Decay = 30;
  tone.Release = 0.03f;
  m.Note(0, 0.12f, 190, 0.6f, SineTone(), tone);
  NoteShape hiss;
  hiss.Attack = 0.001f;
  hiss.Decay = 16;
  hiss.Release = 0.05f;
  m.Noise(0, 0.2f, 3200, 2500, 0.6f, 1.4f, hiss, 102);
  Sample s;
  s.Name = "Snare";
  s.Data = Quantise(m.Samples());
  s.Volume = 30;
  s.Panning = 140;
  s.RelativeNote = 12;
  return s;
}

Sample HatSample() {
  Mono m(kBaseRate * 4);
  NoteShape hiss;
  hiss.Attack = 0.0005f;
  hiss.Decay = 55;
  hiss.Release = 0.02f;
  m.Noise(0, 0.07f, 7000, 6000, 0.35f, 1, hiss, 103);
  Sample s;
  s.Name = "Hat";
  s.Data = Quantise(m.Samples());
  s.Volume = 16;
  s.Panning = 175;
  s.RelativeNote = 24;
  return s;
}

// ---- Composition ----------------------------------------------------------

struct Cell {
  uint8_t Note = 0, Instrument = 0, Volume = 0, Effect = 0, Param = 0;
};
using Pattern = std::array<std::array<Cell, kChannels>, kRows>;

// XM numbers C-0 as 1; the instruments sound at their pitch on C-4 = 49,
// which is MIDI 60.
uint8_t XmNote(int midi) { return uint8_t(std::clamp(midi - 11, 1, 96)); }

void Put(Pattern& p, int row, int channel, int midi, uint8_t instrument, int volume = -1) {
  if (row < 0 || row >= kRows) return;
  Cell& c = p[size_t(row)][size_t(channel)];
  c.Note = XmNote(midi);
  c.Instrument = instrument;
  c.Volume = volume < 0 ? 0 : uint8_t(0x10 + std::clamp(volume, 0, 64));
}

void Release(Pattern& p, int row, int channel) {
  if (row < 0 || row >= kRows) return;
  Cell& c = p[size_t(row)][size_t(channel)];
  if (c.Note == 0) c.Note = kKeyOff;
}

class Harmony {
 public:
  Harmony(int key, bool minor) : Key(key), Minor(minor) {}
  // Pitch of a scale degree counted from the key note (7 = an octave up).
  int Pitch(int degree) const {
    static const int major[7] = {0, 2, 4, 5, 7, 9, 11};
    static const int minor[7] = {0, 2, 3, 5, 7, 8, 10};
    const int octave = degree >= 0 ? degree / 7 : -((6 - degree) / 7);
    const int step = degree - octave * 7;
    return Key + 12 * octave + (Minor ? minor : major)[step];
  }
  // The pitch of a degree sounding over a chord: in a minor key the chord on
  // the fifth degree is major (its third, the seventh degree, is raised), so
  // that it leads home.
  int Over(int degree, int chord) const {
    const bool leading = Minor && chord == 4 && ((degree % 7) + 7) % 7 == 6;
    return Pitch(degree) + (leading ? 1 : 0);
  }
  // The sixth degree of a minor key rubs a half step against the fifth below
  // it while the major chord on the fifth sounds: melodies step past it.
  bool Rubs(int degree, int chord) const { return Minor && chord == 4 && ((degree % 7) + 7) % 7 == 5; }
  // Whether a degree belongs to the triad on a chord degree.
  static bool InChord(int degree, int chord) {
    const int d = ((degree - chord) % 7 + 7) % 7;
    return d == 0 || d == 2 || d == 4;
  }
  // A pitch moved into [low, low + 12).
  static int Into(int pitch, int low) {
    while (pitch < low) pitch += 12;
    while (pitch >= low + 12) pitch -= 12;
    return pitch;
  }

 private:
  int Key;
  bool Minor;
};

struct NoteAt {
  int Row, Length;
};

// Rhythms of one bar (16 rows, a row is a sixteenth).
const std::vector<std::vector<NoteAt>>& Rhythms() {
  static const std::vector<std::vector<NoteAt>> r = {
      {{0, 4}, {4, 2}, {6, 2}, {8, 6}, {14, 2}},           // long, short, short, long
      {{0, 3}, {3, 3}, {6, 2}, {8, 4}, {12, 4}},           // dotted
      {{0, 2}, {2, 2}, {4, 4}, {8, 2}, {10, 2}, {12, 4}},  // running
      {{0, 6}, {6, 2}, {8, 8}},                            // broad
      {{2, 2}, {4, 2}, {6, 2}, {8, 4}, {12, 2}, {14, 2}},  // off the beat
  };
  return r;
}
const std::vector<NoteAt> kEnding = {{0, 4}, {4, 4}, {8, 8}};

// A four-bar phrase: the first and third bars share a rhythm, the second has
// its own, the last comes to rest. Strong beats take chord notes, the rest
// move by step, and the line stays within about an octave and a half.
void WriteMelody(Pattern& p, const Section& s, const Harmony& h) {
  Rng rng(s.MelodySeed);
  const auto& rhythms = Rhythms();
  const int first = int(rng.Next() % rhythms.size());
  int second = int(rng.Next() % rhythms.size());
  if (second == first) second = (second + 1) % int(rhythms.size());
  int degree = 9 + int(rng.Next() % 3);  // around the third above the key note's octave
  int lastEnd = -1;
  for (int bar = 0; bar < 4; ++bar) {
    const std::vector<NoteAt>& rhythm = bar == 3 ? kEnding : rhythms[size_t(bar == 1 ? second : first)];
    const int chord = s.Chords[bar];
    for (size_t n = 0; n < rhythm.size(); ++n) {
      const int row = bar * 16 + rhythm[n].Row;
      const bool strong = rhythm[n].Row % 8 == 0;
      const bool last = bar == 3 && n + 1 == rhythm.size();
      if (last) {
        // Rest on the key note, or on the chord's root when the tune goes on.
        const int target = s.EndOnTonic ? 7 : 7 + chord;
        degree = target + (degree - target > 3 ? 7 : degree - target < -3 ? -7 : 0);
      } else if (strong) {
        // The nearest chord note, a little up or down.
        const int dir = rng.Next() % 2 ? 1 : -1;
        for (int k = 0; k < 4 && !Harmony::InChord(degree, chord); ++k) degree += dir;
      } else {
        const uint32_t r = rng.Next() % 8;
        int step = r < 3 ? 1 : r < 6 ? -1 : r == 6 ? 2 : -2;
        if (degree > 13) step = -std::abs(step);
        if (degree < 5) step = std::abs(step);
        degree += step;
        if (h.Rubs(degree, chord)) degree += step > 0 ? 1 : -1;
      }
      if (lastEnd >= 0 && lastEnd < row) Release(p, lastEnd, chMelody);
      Put(p, row, chMelody, h.Over(degree, chord), kLead, strong ? 64 : 52);
      lastEnd = row + rhythm[n].Length;
    }
  }
  if (lastEnd < kRows) Release(p, lastEnd, chMelody);
}

void WriteArpeggio(Pattern& p, const Section& s, const Harmony& h) {
  static const int figure[8] = {0, 2, 4, 7, 4, 2, 0, 2};  // degrees above the chord's root
  for (int bar = 0; bar < 4; ++bar) {
    const int chord = s.Chords[bar];
    const int shift = Harmony::Into(h.Pitch(chord), 64) - h.Pitch(chord);  // into the octave above E4
    for (int i = 0; i < 8; ++i)
      Put(p, bar * 16 + i * 2, chArp, h.Over(chord + figure[i], chord) + shift, kBell, i % 4 == 0 ? 48 : 34);
  }
}

void WriteBass(Pattern& p, const Section& s, const Harmony& h) {
  struct Step {
    int Row, Interval;  // semitones above the root: 0, 7 the fifth, 12 the octave
  };
  static const std::vector<Step> figures[3] = {
      {{0, 0}, {2, 0}, {4, 12}, {6, 0}, {8, 7}, {10, 0}, {12, 12}, {14, 7}},
      {{0, 0}, {8, 7}},
      {{0, 0}, {3, 0}, {6, 12}, {8, 7}, {11, 0}, {14, 12}},
  };
  const auto& figure = figures[std::clamp(s.Bass, 0, 2)];
  for (int bar = 0; bar < 4; ++bar) {
    const int root = Harmony::Into(h.Pitch(s.Chords[bar]), 36);
    for (const Step& st : figure) Put(p, bar * 16 + st.Row, chBass, root + st.Interval, kBass, st.Row == 0 ? 64 : 50);
  }
}

void WritePad(Pattern& p, const Section& s, const Harmony& h) {
  for (int bar = 0; bar < 4; ++bar) {
    if (bar > 0 && s.Chords[bar] == s.Chords[bar - 1]) continue;
    for (int v = 0; v < 3; ++v)
      Put(p, bar * 16, chPad1 + v, Harmony::Into(h.Over(s.Chords[bar] + 2 * v, s.Chords[bar]), 55), kPad);
  }
}

void WriteDrums(Pattern& p, const Section& s) {
  for (int bar = 0; bar < 4; ++bar) {
    const int at = bar * 16;
    const bool fillBar = s.Fill && bar == 3;
    Put(p, at, chDrum, 60, kKick);
    if (s.Drums >= 2) {
      Put(p, at + 4, chDrum, 60, kSnare);
      Put(p, at + 8, chDrum, 60, kKick);
      if (bar % 2 == 1 && !fillBar) Put(p, at + 10, chDrum, 60, kKick, 44);
      Put(p, at + 12, chDrum, 60, kSnare);
      if (fillBar) {
        Put(p, at + 13, chDrum, 60, kSnare, 36);
        Put(p, at + 14, chDrum, 60, kSnare, 46);
        Put(p, at + 15, chDrum, 60, kSnare, 56);
      }
      for (int i = 0; i < 8; ++i) Put(p, at + i * 2, chHat, 60, kHat, i % 2 == 0 ? 60 : 40);
    } else {
      Put(p, at + 8, chDrum, 60, kKick, 40);
      Put(p, at + 4, chHat, 60, kHat, 40);
      Put(p, at + 12, chHat, 60, kHat, 40);
    }
  }
}

Pattern Compose(const Section& s, const Harmony& h) {
  Pattern p{};
  if (s.Melody) WriteMelody(p, s, h);
  if (s.Arpeggio) WriteArpeggio(p, s, h);
  if (s.Bass >= 0) WriteBass(p, s, h);
  if (s.Pad) {
    WritePad(p, s, h);
  } else {
    for (int v = 0; v < 3; ++v) Release(p, 0, chPad1 + v);
  }
  if (s.Drums > 0) WriteDrums(p, s);
  return p;
}

// ---- File writing ---------------------------------------------------------

class Bytes {
 public:
  void U8(unsigned v) { B.push_back(uint8_t(v)); }
  void U16(unsigned v) {
    U8(v & 0xFF);
    U8((v >> 8) & 0xFF);
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void Text(const std::string& s, size_t width) {
    for (size_t i = 0; i < width; ++i) U8(i < s.size() ? uint8_t(s[i]) : 0);
  }
  void Zeros(size_t n) { B.insert(B.end(), n, 0); }
  void Append(const std::vector<uint8_t>& more) { B.insert(B.end(), more.begin(), more.end()); }
  std::vector<uint8_t> B;
};

std::vector<uint8_t> PackPattern(const Pattern& p) {
  Bytes out;
  for (const auto& row : p)
    for (const Cell& c : row) {
      uint8_t flags = 0x80;
      if (c.Note) flags |= 1;
      if (c.Instrument) flags |= 2;
      if (c.Volume) flags |= 4;
      if (c.Effect) flags |= 8;
      if (c.Param) flags |= 16;
      out.U8(flags);
      if (c.Note) out.U8(c.Note);
      if (c.Instrument) out.U8(c.Instrument);
      if (c.Volume) out.U8(c.Volume);
      if (c.Effect) out.U8(c.Effect);
      if (c.Param) out.U8(c.Param);
    }
  return out.B;
}

void WriteInstrument(Bytes& out, const Sample& s) {
  out.U32(263);  // the header up to its sample headers
  out.Text(s.Name, 22);
  out.U8(0);
  out.U16(1);
  out.U32(40);
  out.Zeros(96);  // every note plays sample 0
  for (size_t i = 0; i < 12; ++i) {
    out.U16(i < s.Envelope.size() ? s.Envelope[i].Tick : 0);
    out.U16(i < s.Envelope.size() ? s.Envelope[i].Level : 0);
  }
  out.Zeros(48);  // no panning envelope
  out.U8(unsigned(s.Envelope.size()));
  out.U8(0);
  out.U8(s.Sustain);
  out.U8(0);
  out.U8(0);
  out.Zeros(3);
  out.U8(s.Envelope.empty() ? 0 : 1 | 2);  // on, with a sustain point
  out.U8(0);
  out.U8(0);  // sine vibrato
  out.U8(s.VibratoSweep);
  out.U8(s.VibratoDepth);
  out.U8(s.VibratoRate);
  out.U16(s.Fadeout);
  out.Zeros(22);

  const uint32_t bytes = uint32_t(s.Data.size() * 2);
  out.U32(bytes);
  out.U32(0);
  out.U32(s.Loop ? bytes : 0);
  out.U8(s.Volume);
  out.U8(0);
  out.U8(0x10 | (s.Loop ? 1 : 0));  // 16-bit, forward loop
  out.U8(s.Panning);
  out.U8(uint8_t(s.RelativeNote));
  out.U8(0);
  out.Text(s.Name, 22);
  // Samples are stored as differences to the previous sample.
  int16_t previous = 0;
  for (int16_t v : s.Data) {
    out.U16(uint16_t(int16_t(v - previous)));
    previous = v;
  }
}

}  // namespace

std::vector<uint8_t> WriteXm(const SongPlan& plan) {
  if (plan.Orders.empty() || plan.Orders.size() > 256) throw std::runtime_error(plan.Title + ": bad order list");
  for (int o : plan.Orders)
    if (o < 0 || o >= int(plan.Patterns.size())) throw std::runtime_error(plan.Title + ": order names no pattern");

  Bytes out;
  out.Text("Extended Module: ", 17);
  out.Text(plan.Title, 20);
  out.U8(0x1A);
  out.Text("Quorvane contentgen", 20);
  out.U16(0x0104);
  out.U32(276);
  out.U16(unsigned(plan.Orders.size()));
  out.U16(unsigned(plan.Restart));
  out.U16(kChannels);
  out.U16(unsigned(plan.Patterns.size()));
  out.U16(kInstrumentCount);
  out.U16(1);  // linear frequencies
  out.U16(unsigned(plan.Speed));
  out.U16(unsigned(plan.Bpm));
  for (size_t i = 0; i < 256; ++i) out.U8(i < plan.Orders.size() ? unsigned(plan.Orders[i]) : 0);

  const Harmony harmony(plan.Key, plan.Minor);
  for (const Section& s : plan.Patterns) {
    const std::vector<uint8_t> packed = PackPattern(Compose(s, harmony));
    out.U32(9);
    out.U8(0);
    out.U16(kRows);
    out.U16(unsigned(packed.size()));
    out.Append(packed);
  }

  for (const Sample& s :
       {LeadSample(plan.LeadTimbre), BellSample(), BassSample(), PadSample(), KickSample(), SnareSample(), HatSample()})
    WriteInstrument(out, s);
  return out.B;
}

std::vector<MusicItem> MusicCatalogue() {
  std::vector<MusicItem> items;
  auto section = [](std::array<int, 4> chords, bool melody, uint32_t seed, bool tonic, bool arp, int bass, int drums,
                    bool pad, bool fill) {
    Section s;
    std::copy(chords.begin(), chords.end(), s.Chords);
    s.Melody = melody;
    s.MelodySeed = seed;
    s.EndOnTonic = tonic;
    s.Arpeggio = arp;
    s.Bass = bass;
    s.Drums = drums;
    s.Pad = pad;
    s.Fill = fill;
    return s;
  };

  // The title: every new start (orders 0, 5 and 13) opens with the quiet
  // introduction.
  {
    SongPlan p;
    p.Title = "Vibe";
    p.Key = 60;
    p.Bpm = 116;
    p.LeadTimbre = 1;
    p.Patterns = {
        section({0, 5, 3, 4}, false, 0, false, true, 1, 1, true, false),   // 0 introduction
        section({0, 5, 3, 4}, true, 11, false, true, 0, 2, true, false),   // 1 A
        section({0, 5, 3, 4}, true, 11, true, true, 0, 2, true, true),     // 2 A, closing
        section({3, 4, 2, 5}, true, 23, false, false, 2, 2, true, false),  // 3 B
        section({3, 4, 1, 4}, true, 29, false, true, 2, 2, true, true),    // 4 B, to the dominant
        section({5, 3, 0, 4}, true, 37, false, true, 1, 1, true, false),   // 5 C, calm
        section({5, 3, 1, 4}, true, 41, true, true, 0, 2, true, true),     // 6 C, closing
        section({0, 0, 3, 4}, false, 0, false, false, 2, 2, false, true),  // 7 break
    };
    p.Orders = {0, 1, 2, 3, 4, 0, 1, 2, 5, 6, 3, 4, 7, 0, 1, 2};
    p.Restart = 1;
    items.push_back({"vibe-pp.mo3", p});
  }
  // Level tunes: each its own key, pace and colour.
  {
    SongPlan p;
    p.Title = "Meadow";
    p.Key = 67;
    p.Bpm = 112;
    p.LeadTimbre = 0;
    p.Patterns = {
        section({0, 4, 5, 3}, false, 0, false, true, 1, 1, true, false),
        section({0, 4, 5, 3}, true, 101, false, false, 0, 2, true, false),
        section({0, 4, 5, 3}, true, 101, true, true, 0, 2, true, true),
        section({3, 0, 3, 4}, true, 107, false, true, 2, 2, true, true),
    };
    p.Orders = {0, 1, 2, 3, 1, 2, 0, 3};
    p.Restart = 1;
    items.push_back({"LevelMusic1.mo3", p});
  }
  {
    SongPlan p;
    p.Title = "Lantern";
    p.Key = 57;
    p.Minor = true;
    p.Bpm = 100;
    p.LeadTimbre = 2;
    p.Patterns = {
        section({0, 5, 2, 6}, false, 0, false, true, 1, 0, true, false),
        section({0, 5, 2, 6}, true, 211, false, true, 1, 1, true, false),
        section({0, 5, 2, 6}, true, 211, true, true, 2, 2, true, true),
        section({3, 0, 3, 4}, true, 223, false, false, 2, 2, true, false),
        section({5, 6, 0, 0}, true, 227, true, true, 0, 2, true, true),
    };
    p.Orders = {0, 1, 2, 3, 4, 1, 2, 3, 4};
    p.Restart = 1;
    items.push_back({"LevelMusic2.mo3", p});
  }
  {
    SongPlan p;
    p.Title = "Tower";
    p.Key = 62;
    p.Minor = true;
    p.Bpm = 124;
    p.LeadTimbre = 1;
    p.Patterns = {
        section({0, 6, 5, 6}, false, 0, false, true, 0, 2, true, false),
        section({0, 6, 5, 6}, true, 307, false, true, 0, 2, true, false),
        section({0, 6, 5, 4}, true, 307, true, false, 2, 2, true, true),
        section({2, 6, 3, 4}, true, 311, false, true, 2, 2, true, false),
        section({0, 0, 6, 6}, false, 0, false, false, 0, 2, false, true),
    };
    p.Orders = {0, 1, 2, 3, 2, 4, 1, 3, 2};
    p.Restart = 1;
    items.push_back({"LevelMusic3.mo3", p});
  }
  {
    SongPlan p;
    p.Title = "Harbour";
    p.Key = 65;
    p.Bpm = 128;
    p.LeadTimbre = 2;
    p.Patterns = {
        section({0, 5, 1, 4}, false, 0, false, true, 2, 1, true, false),
        section({0, 5, 1, 4}, true, 401, false, true, 2, 2, true, false),
        section({0, 5, 1, 4}, true, 401, true, false, 0, 2, true, true),
        section({3, 4, 2, 5}, true, 409, false, true, 2, 2, true, false),
        section({1, 4, 0, 0}, true, 419, true, true, 0, 2, true, true),
    };
    p.Orders = {0, 1, 2, 3, 4, 1, 2, 0, 3, 4};
    p.Restart = 1;
    items.push_back({"LevelMusic4.mo3", p});
  }
  return items;
}

void WriteMusic(const std::string& outputFolder) {
  for (const MusicItem& item : MusicCatalogue()) {
    const std::vector<uint8_t> bytes = WriteXm(item.Plan);
    qv::TMemoryStream s;
    s.Write(bytes.data(), bytes.size());
    s.SaveToFile(std::filesystem::path(outputFolder) / item.Name);
  }
}

}  // namespace contentgen
