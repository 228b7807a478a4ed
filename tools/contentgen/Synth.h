// A small additive synthesiser for the game's samples and the instruments of
// its music: notes built from harmonics under soft envelopes, filtered noise,
// and mixing into a mono buffer. Deterministic like the pictures: no time and
// no unseeded randomness.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace contentgen {

// Partials of a tone: frequency ratios to the fundamental with their levels
// and how much faster than the note's decay each one dies away.
struct Partial {
  float Ratio = 1, Level = 1, ExtraDecay = 0;
};
using Timbre = std::vector<Partial>;

// Common timbres.
Timbre SineTone();
Timbre BellTone();   // inharmonic, long ringing
Timbre PluckTone();  // harmonic, upper partials fade fast
Timbre BrassTone();  // many harmonics, for fanfares
Timbre OrganTone();  // soft even and odd harmonics

struct NoteShape {
  float Attack = 0.005f;  // seconds of the linear rise
  float Decay = 4.0f;     // exponential decay rate per second after the attack
  float Release = 0.03f;  // seconds of the final fade to silence
  float Vibrato = 0;      // depth as a fraction of the frequency
  float VibratoRate = 5.5f;
  float Glide = 0;  // frequency change per second as a fraction (sweeps)
};

class Mono {
 public:
  explicit Mono(int rate, float seconds = 0);
  int Rate() const { return R; }
  std::vector<float>& Samples() { return S; }
  const std::vector<float>& Samples() const { return S; }

  // Adds a tone of a frequency starting at a time for a duration.
  void Note(float start, float duration, float freq, float gain, const Timbre& timbre, const NoteShape& shape);
  // Adds noise through a band filter (centre in Hz moving to centreEnd) with
  // the envelope of a shape.
  void Noise(float start, float duration, float centre, float centreEnd, float width, float gain,
             const NoteShape& shape, uint32_t seed);
  // Scales so that the loudest sample has this level, and fades the last few
  // milliseconds so that the sound ends in silence.
  void Normalise(float peak);

 private:
  void Grow(size_t samples);
  int R;
  std::vector<float> S;
};

// Frequency of a MIDI note number (69 = A 440 Hz).
float NoteFrequency(int midi);

}  // namespace contentgen
