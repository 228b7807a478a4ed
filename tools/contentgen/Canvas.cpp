#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace contentgen {

Rgba Hex(uint32_t rgb, float alpha) {
  return Rgba{float((rgb >> 16) & 255) / 255.0f, float((rgb >> 8) & 255) / 255.0f, float(rgb & 255) / 255.0f,
              alpha};
}

Rgba Mix(const Rgba& a, const Rgba& b, float t) {
  return Rgba{a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t, a.A + (b.A - a.A) * t};
}

Rgba Shade(const Rgba& c, float f) {
  return Rgba{std::clamp(c.R * f, 0.0f, 1.0f), std::clamp(c.G * f, 0.0f, 1.0f), std::clamp(c.B * f, 0.0f, 1.0f),
              c.A};
}

Canvas::Canvas(int width, int height, Rgba fill) : W(width), H(height), P(size_t(width) * size_t(height) * 4) {
  Fill(fill);
}

Rgba Canvas::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= W || y >= H) return Rgba{0, 0, 0, 0};
  const float* p = &P[(size_t(y) * size_t(W) + size_t(x)) * 4];
  return Rgba{p[0], p[1], p[2], p[3]};
}

void Canvas::Set(int x, int y, const Rgba& c) {
  if (x < 0 || y < 0 || x >= W || y >= H) return;
  float* p = &P[(size_t(y) * size_t(W) + size_t(x)) * 4];
  p[0] = c.R;
  p[1] = c.G;
  p[2] = c.B;
  p[3] = c.A;
}

void Canvas::Blend(int x, int y, const Rgba& c, float coverage) {
  if (x < 0 || y < 0 || x >= W || y >= H) return;
  float a = std::clamp(c.A * coverage, 0.0f, 1.0f);
  if (a <= 0.0f) return;
  float* p = &P[(size_t(y) * size_t(W) + size_t(x)) * 4];
  float da = p[3];
  float oa = a + da * (1.0f - a);
  if (oa <= 1e-6f) return;
  for (int k = 0; k < 3; ++k) {
    float sc = k == 0 ? c.R : (k == 1 ? c.G : c.B);
    p[k] = (sc * a + p[k] * da * (1.0f - a)) / oa;
  }
  p[3] = oa;
}

void Canvas::Fill(const Rgba& c) {
  for (size_t i = 0; i < P.size(); i += 4) {
    P[i] = c.R;
    P[i + 1] = c.G;
    P[i + 2] = c.B;
    P[i + 3] = c.A;
  }
}

void Canvas::FillShape(float x0, float y0, float x1, float y1, const std::function<bool(float, float)>& inside,
                       const std::function<Rgba(float, float)>& colour) {
  int ix0 = std::max(0, int(std::floor(x0)));
  int iy0 = std::max(0, int(std::floor(y0)));
  int ix1 = std::min(W - 1, int(std::ceil(x1)));
  int iy1 = std::min(H - 1, int(std::ceil(y1)));
  for (int y = iy0; y <= iy1; ++y) {
    for (int x = ix0; x <= ix1; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          if (inside(float(x) + (float(sx) + 0.5f) / 4.0f, float(y) + (float(sy) + 0.5f) / 4.0f)) ++hits;
      if (hits) Blend(x, y, colour(float(x) + 0.5f, float(y) + 0.5f), float(hits) / 16.0f);
    }
  }
}

void Canvas::FillShape(float x0, float y0, float x1, float y1, const std::function<bool(float, float)>& inside,
                       const Rgba& colour) {
  FillShape(x0, y0, x1, y1, inside, [&](float, float) { return colour; });
}

void Canvas::FillRect(float x0, float y0, float x1, float y1, const Rgba& c) {
  FillShape(x0, y0, x1, y1, [=](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }, c);
}

static bool InRoundRect(float x, float y, float x0, float y0, float x1, float y1, float r) {
  if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
  float cx = std::clamp(x, x0 + r, x1 - r);
  float cy = std::clamp(y, y0 + r, y1 - r);
  float dx = x - cx, dy = y - cy;
  return dx * dx + dy * dy <= r * r;
}

void Canvas::FillRoundRect(float x0, float y0, float x1, float y1, float r, const Rgba& c) {
  FillShape(x0, y0, x1, y1, [=](float x, float y) { return InRoundRect(x, y, x0, y0, x1, y1, r); }, c);
}

void Canvas::StrokeRoundRect(float x0, float y0, float x1, float y1, float r, float w, const Rgba& c) {
  float ri = std::max(0.0f, r - w);
  FillShape(x0, y0, x1, y1,
            [=](float x, float y) {
              return InRoundRect(x, y, x0, y0, x1, y1, r) && !InRoundRect(x, y, x0 + w, y0 + w, x1 - w, y1 - w, ri);
            },
            c);
}

void Canvas::FillCircle(float cx, float cy, float r, const Rgba& c) { FillEllipse(cx, cy, r, r, c); }

void Canvas::FillEllipse(float cx, float cy, float rx, float ry, const Rgba& c) {
  FillShape(cx - rx, cy - ry, cx + rx, cy + ry,
            [=](float x, float y) {
              float dx = (x - cx) / rx, dy = (y - cy) / ry;
              return dx * dx + dy * dy <= 1.0f;
            },
            c);
}

void Canvas::StrokeCircle(float cx, float cy, float r, float w, const Rgba& c) {
  FillShape(cx - r - w, cy - r - w, cx + r + w, cy + r + w,
            [=](float x, float y) {
              float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
              return std::fabs(d - r) <= w / 2;
            },
            c);
}

void Canvas::Line(float x0, float y0, float x1, float y1, float w, const Rgba& c) {
  float hw = w / 2;
  float dx = x1 - x0, dy = y1 - y0;
  float len2 = dx * dx + dy * dy;
  FillShape(std::min(x0, x1) - hw, std::min(y0, y1) - hw, std::max(x0, x1) + hw, std::max(y0, y1) + hw,
            [=](float x, float y) {
              float t = len2 > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0f, 1.0f) : 0.0f;
              float px = x0 + t * dx - x, py = y0 + t * dy - y;
              return px * px + py * py <= hw * hw;
            },
            c);
}

static bool InPolygon(const std::vector<float>& xy, float x, float y) {
  bool in = false;
  size_t n = xy.size() / 2;
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
  }
  return in;
}

void Canvas::Polygon(const std::vector<float>& xy, const Rgba& c) {
  if (xy.size() < 6) return;
  float x0 = xy[0], x1 = xy[0], y0 = xy[1], y1 = xy[1];
  for (size_t i = 0; i + 1 < xy.size(); i += 2) {
    x0 = std::min(x0, xy[i]);
    x1 = std::max(x1, xy[i]);
    y0 = std::min(y0, xy[i + 1]);
    y1 = std::max(y1, xy[i + 1]);
  }
  FillShape(x0, y0, x1, y1, [&](float x, float y) { return InPolygon(xy, x, y); }, c);
}

void Canvas::Draw(const Canvas& src, int dx, int dy, float alpha) {
  for (int y = 0; y < src.H; ++y)
    for (int x = 0; x < src.W; ++x) {
      Rgba c = src.Get(x, y);
      if (c.A > 0) Blend(x + dx, y + dy, c, alpha);
    }
}

static void BoxPass(std::vector<float>& v, int w, int h, int stride, int ch, int r, bool horizontal) {
  std::vector<float> line;
  int n = horizontal ? w : h;
  int m = horizontal ? h : w;
  line.resize(size_t(n));
  for (int j = 0; j < m; ++j) {
    for (int i = 0; i < n; ++i) {
      int x = horizontal ? i : j, y = horizontal ? j : i;
      line[size_t(i)] = v[(size_t(y) * size_t(w) + size_t(x)) * size_t(stride) + size_t(ch)];
    }
    for (int i = 0; i < n; ++i) {
      float s = 0;
      int cnt = 0;
      for (int k = i - r; k <= i + r; ++k) {
        s += (k >= 0 && k < n) ? line[size_t(k)] : 0.0f;
        ++cnt;
      }
      int x = horizontal ? i : j, y = horizontal ? j : i;
      v[(size_t(y) * size_t(w) + size_t(x)) * size_t(stride) + size_t(ch)] = s / float(cnt);
    }
  }
}

void Canvas::BlurAlpha(int radius, int passes) {
  for (int p = 0; p < passes; ++p) {
    BoxPass(P, W, H, 4, 3, radius, true);
    BoxPass(P, W, H, 4, 3, radius, false);
  }
}

void Canvas::Blur(int radius, int passes) {
  // Colour premultiplied while blurring, so transparent pixels do not darken edges.
  for (size_t i = 0; i < P.size(); i += 4)
    for (int k = 0; k < 3; ++k) P[i + size_t(k)] *= P[i + 3];
  for (int p = 0; p < passes; ++p)
    for (int ch = 0; ch < 4; ++ch) {
      BoxPass(P, W, H, 4, ch, radius, true);
      BoxPass(P, W, H, 4, ch, radius, false);
    }
  for (size_t i = 0; i < P.size(); i += 4)
    for (int k = 0; k < 3; ++k) P[i + size_t(k)] = P[i + 3] > 1e-6f ? std::min(1.0f, P[i + size_t(k)] / P[i + 3]) : 0;
}

void Canvas::ScaleAlpha(float f) {
  for (size_t i = 3; i < P.size(); i += 4) P[i] = std::clamp(P[i] * f, 0.0f, 1.0f);
}

Canvas Canvas::Mirrored() const {
  Canvas out(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) out.Set(W - 1 - x, y, Get(x, y));
  return out;
}

static Rgba Sample(const Canvas& c, float x, float y) {
  int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  float fx = x - float(x0), fy = y - float(y0);
  Rgba acc{0, 0, 0, 0};
  float wsum = 0;
  for (int j = 0; j < 2; ++j)
    for (int i = 0; i < 2; ++i) {
      int sx = std::clamp(x0 + i, 0, c.Width() - 1), sy = std::clamp(y0 + j, 0, c.Height() - 1);
      float w = (i ? fx : 1 - fx) * (j ? fy : 1 - fy);
      Rgba p = c.Get(sx, sy);
      acc.R += p.R * p.A * w;
      acc.G += p.G * p.A * w;
      acc.B += p.B * p.A * w;
      acc.A += p.A * w;
      wsum += w;
    }
  if (acc.A > 1e-6f) {
    acc.R /= acc.A;
    acc.G /= acc.A;
    acc.B /= acc.A;
  }
  acc.A /= std::max(wsum, 1e-6f);
  return acc;
}

Canvas Canvas::Resized(int width, int height) const {
  Canvas out(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      float sx = (float(x) + 0.5f) * float(W) / float(width) - 0.5f;
      float sy = (float(y) + 0.5f) * float(H) / float(height) - 0.5f;
      out.Set(x, y, Sample(*this, sx, sy));
    }
  return out;
}

Canvas Canvas::Squeezed(float fraction) const {
  Canvas out(W, H);
  if (fraction <= 0.01f) return out;
  float cx = float(W) / 2.0f;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      float sx = cx + ((float(x) + 0.5f) - cx) / fraction - 0.5f;
      if (sx < -0.5f || sx > float(W) - 0.5f) continue;
      out.Set(x, y, Sample(*this, sx, float(y)));
    }
  return out;
}

uint32_t Hash32(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

uint32_t Hash2(int x, int y, uint32_t seed) {
  return Hash32(uint32_t(x) * 0x9E3779B1U ^ Hash32(uint32_t(y) * 0x85EBCA77U ^ seed));
}

float HashUnit(int x, int y, uint32_t seed) { return float(Hash2(x, y, seed) & 0xFFFFFF) / float(0x1000000); }

float ValueNoise(float x, float y, uint32_t seed) {
  int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  float fx = x - float(x0), fy = y - float(y0);
  fx = fx * fx * (3 - 2 * fx);
  fy = fy * fy * (3 - 2 * fy);
  float a = HashUnit(x0, y0, seed), b = HashUnit(x0 + 1, y0, seed);
  float c = HashUnit(x0, y0 + 1, seed), d = HashUnit(x0 + 1, y0 + 1, seed);
  return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
  float s = 0, amp = 0.5f, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    s += amp * ValueNoise(x, y, seed + uint32_t(i) * 101u);
    norm += amp;
    x *= 2.03f;
    y *= 2.03f;
    amp *= 0.5f;
  }
  return s / norm;
}

uint32_t Rng::Next() {
  S ^= S << 13;
  S ^= S >> 17;
  S ^= S << 5;
  return S;
}

float Rng::Unit() { return float(Next() & 0xFFFFFF) / float(0x1000000); }
float Rng::Range(float a, float b) { return a + (b - a) * Unit(); }
int Rng::Int(int n) { return n <= 0 ? 0 : int(Next() % uint32_t(n)); }

}  // namespace contentgen
