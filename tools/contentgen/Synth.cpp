#include "Synth.h"

#include <algorithm>
#include <cmath>

#include "Canvas.h"

namespace contentgen {

namespace {
constexpr double kTwoPi = 6.283185307179586;

// Level of a note's envelope at time t of its duration.
float Envelope(const NoteShape& s, float t, float duration) {
  float e = t < s.Attack ? t / s.Attack : std::exp(-s.Decay * (t - s.Attack));
  const float left = duration - t;
  if (left < s.Release) e *= 0.5f - 0.5f * std::cos(float(kTwoPi) * 0.5f * std::max(left, 0.0f) / s.Release);
  return e;
}
}  // namespace

Timbre SineTone() { return {{1, 1, 0}}; }
Timbre BellTone() {
  return {{1, 1, 0}, {2.01f, 0.5f, 1.5f}, {2.76f, 0.35f, 2.5f}, {5.4f, 0.18f, 6}, {8.93f, 0.08f, 10}};
}
Timbre PluckTone() { return {{1, 1, 0}, {2, 0.5f, 3}, {3, 0.3f, 6}, {4, 0.15f, 9}, {5, 0.08f, 12}}; }
Timbre BrassTone() {
  Timbre t;
  for (int h = 1; h <= 9; ++h) t.push_back({float(h), 0.9f / float(h), float(h - 1) * 0.3f});
  return t;
}
Timbre OrganTone() { return {{1, 1, 0}, {2, 0.45f, 0}, {3, 0.25f, 0}, {4, 0.12f, 0}}; }

float NoteFrequency(int midi) { return 440.0f * std::pow(2.0f, float(midi - 69) / 12.0f); }

Mono::Mono(int rate, float seconds) : R(rate), S(size_t(std::max(0.0f, seconds) * float(rate)), 0.0f) {}

void Mono::Grow(size_t samples) {
  if (S.size() < samples) S.resize(samples, 0.0f);
}

void Mono::Note(float start, float duration, float freq, float gain, const Timbre& timbre, const NoteShape& shape) {
  const size_t first = size_t(start * float(R));
  const size_t count = size_t(duration * float(R));
  Grow(first + count);
  const float nyquist = float(R) * 0.45f;
  std::vector<double> phase(timbre.size(), 0.0);
  for (size_t i = 0; i < count; ++i) {
    const float t = float(i) / float(R);
    float f = freq * (1.0f + shape.Glide * t);
    if (shape.Vibrato > 0)
      f *= 1.0f + shape.Vibrato * std::sin(float(kTwoPi) * shape.VibratoRate * t) * std::min(1.0f, t * 4);
    const float env = Envelope(shape, t, duration);
    float v = 0;
    for (size_t p = 0; p < timbre.size(); ++p) {
      const Partial& part = timbre[p];
      const float pf = f * part.Ratio;
      if (pf >= nyquist || pf <= 0) continue;
      phase[p] += kTwoPi * double(pf) / double(R);
      v += part.Level * std::exp(-part.ExtraDecay * t) * float(std::sin(phase[p]));
    }
    S[first + i] += gain * env * v;
  }
}

void Mono::Noise(float start, float duration, float centre, float centreEnd, float width, float gain,
                 const NoteShape& shape, uint32_t seed) {
  const size_t first = size_t(start * float(R));
  const size_t count = size_t(duration * float(R));
  Grow(first + count);
  Rng rng(seed);
  // A state-variable band pass, retuned every sample.
  float low = 0, band = 0;
  const float q = std::clamp(width, 0.05f, 1.5f);
  for (size_t i = 0; i < count; ++i) {
    const float t = float(i) / float(R);
    const float c = centre + (centreEnd - centre) * (t / duration);
    const float fc = std::min(0.9f, 2.0f * std::sin(float(kTwoPi) * 0.5f * std::min(c, float(R) * 0.2f) / float(R)));
    const float in = rng.Unit() * 2.0f - 1.0f;
    const float high = in - low - q * band;
    band += fc * high;
    low += fc * band;
    S[first + i] += gain * Envelope(shape, t, duration) * band;
  }
}

void Mono::Normalise(float peak) {
  float most = 0;
  for (float v : S) most = std::max(most, std::fabs(v));
  if (most > 0)
    for (float& v : S) v *= peak / most;
  const size_t fade = std::min(S.size(), size_t(R / 200));
  for (size_t i = 0; i < fade; ++i) S[S.size() - 1 - i] *= float(i) / float(fade);
}

}  // namespace contentgen
