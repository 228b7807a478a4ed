// A small CPU canvas for drawing the game's pictures: straight (not
// premultiplied) RGBA in floats, anti-aliased shapes from coverage, and a few
// texture helpers. Everything is deterministic: no time, no locale, no
// unseeded randomness, so every build draws the same bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace contentgen {

struct Rgba {
  float R = 0, G = 0, B = 0, A = 1;
};

// 0xRRGGBB with an alpha in 0..1.
Rgba Hex(uint32_t rgb, float alpha = 1.0f);
Rgba Mix(const Rgba& a, const Rgba& b, float t);
Rgba Shade(const Rgba& c, float factor);  // colour times factor, alpha kept

class Canvas {
 public:
  Canvas() = default;
  Canvas(int width, int height, Rgba fill = {0, 0, 0, 0});

  int Width() const { return W; }
  int Height() const { return H; }
  Rgba Get(int x, int y) const;
  void Set(int x, int y, const Rgba& c);
  // Source-over with the colour's alpha times coverage.
  void Blend(int x, int y, const Rgba& c, float coverage = 1.0f);
  void Fill(const Rgba& c);

  // Fills every pixel of the box whose inside test holds, measured on a 4x4
  // grid inside each pixel; the colour may depend on the position.
  void FillShape(float x0, float y0, float x1, float y1, const std::function<bool(float, float)>& inside,
                 const std::function<Rgba(float, float)>& colour);
  void FillShape(float x0, float y0, float x1, float y1, const std::function<bool(float, float)>& inside,
                 const Rgba& colour);

  void FillRect(float x0, float y0, float x1, float y1, const Rgba& c);
  void FillRoundRect(float x0, float y0, float x1, float y1, float radius, const Rgba& c);
  void StrokeRoundRect(float x0, float y0, float x1, float y1, float radius, float width, const Rgba& c);
  void FillCircle(float cx, float cy, float r, const Rgba& c);
  void FillEllipse(float cx, float cy, float rx, float ry, const Rgba& c);
  void StrokeCircle(float cx, float cy, float r, float width, const Rgba& c);
  void Line(float x0, float y0, float x1, float y1, float width, const Rgba& c);
  void Polygon(const std::vector<float>& xy, const Rgba& c);

  // Draws another canvas onto this one at an offset with an extra alpha.
  void Draw(const Canvas& src, int dx, int dy, float alpha = 1.0f);
  // Box blur of the alpha channel only (for shadows and glows), n passes.
  void BlurAlpha(int radius, int passes = 2);
  // Box blur of all channels (colour weighted by alpha).
  void Blur(int radius, int passes = 2);
  // Multiplies every alpha by a factor.
  void ScaleAlpha(float f);
  // Mirrors left and right.
  Canvas Mirrored() const;
  // A bilinear resample to a new size.
  Canvas Resized(int width, int height) const;
  // Squeezes horizontally about the centre to a fraction of the width.
  Canvas Squeezed(float fraction) const;

  const std::vector<float>& Data() const { return P; }

 private:
  int W = 0, H = 0;
  std::vector<float> P;  // RGBA per pixel
};

// Deterministic noise: integer hash, value noise and fractal sums in 0..1.
uint32_t Hash32(uint32_t x);
uint32_t Hash2(int x, int y, uint32_t seed);
float HashUnit(int x, int y, uint32_t seed);
float ValueNoise(float x, float y, uint32_t seed);
float Fbm(float x, float y, uint32_t seed, int octaves);

// A small deterministic generator for placing decorations.
class Rng {
 public:
  explicit Rng(uint32_t seed) : S(seed ? seed : 1u) {}
  uint32_t Next();
  float Unit();                     // [0, 1)
  float Range(float a, float b);    // [a, b)
  int Int(int n);                   // 0 .. n-1
 private:
  uint32_t S;
};

}  // namespace contentgen
