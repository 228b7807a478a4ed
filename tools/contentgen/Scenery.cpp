// Level backgrounds and the kingdom map with its piece pictures.
#include <algorithm>
#include <cmath>
#include <limits>

#include "Art.h"

namespace contentgen {

namespace {

struct Theme {
  uint32_t GroundA, GroundB, Accent;
  uint32_t TreeA, TreeB;
  bool Water;
};

const Theme kThemes[8] = {
    {0x4E7A2E, 0x79A343, 0xF4E285, 0x2D5A1E, 0x3F7A2A, false},  // meadow
    {0x7A5A2A, 0xA8783A, 0xE2703A, 0x9A3B12, 0xC7651E, false},  // autumn wood
    {0x3F6E3A, 0x6C9A4E, 0xFFFFFF, 0x245232, 0x3A7046, true},   // riverside
    {0xC9D3DE, 0xEEF3F8, 0x9FB7CF, 0x355646, 0x4D7560, false},  // snow
    {0xB8934F, 0xDDBB76, 0x8C5A2B, 0x5E7A2E, 0x7C9A3A, false},  // dunes
    {0x4A4A55, 0x6E6E7C, 0xD9A62E, 0x2E3B2A, 0x3F5236, false},  // castle yard
    {0x3D4F2E, 0x5B6B3A, 0x9ACD32, 0x2A3A1E, 0x4A5A2A, true},   // marsh
    {0x5E6B3E, 0x8A9A5A, 0xF8C8DC, 0x2D4A2A, 0x466B3A, false},  // royal garden
};

float DistToSegment(float px, float py, float x0, float y0, float x1, float y1) {
  float dx = x1 - x0, dy = y1 - y0;
  float l2 = dx * dx + dy * dy;
  float t = l2 > 0 ? std::clamp(((px - x0) * dx + (py - y0) * dy) / l2, 0.0f, 1.0f) : 0.0f;
  float ex = x0 + t * dx - px, ey = y0 + t * dy - py;
  return std::sqrt(ex * ex + ey * ey);
}

// How far a place is from the board and the belts.
float Clearance(const LevelShape& s, float x, float y) {
  float d = std::numeric_limits<float>::max();
  for (auto& p : s.Points) d = std::min(d, std::sqrt((p.first - x) * (p.first - x) + (p.second - y) * (p.second - y)));
  for (auto& belt : s.Belts)
    for (size_t i = 0; i + 1 < belt.size(); ++i)
      d = std::min(d, DistToSegment(x, y, belt[i].first, belt[i].second, belt[i + 1].first, belt[i + 1].second));
  for (const auto& r : s.Keep) {
    float dx = std::max({r[0] - x, 0.0f, x - r[2]}), dy = std::max({r[1] - y, 0.0f, y - r[3]});
    d = std::min(d, std::sqrt(dx * dx + dy * dy));
  }
  if (x > 690) d = std::min(d, 0.0f);
  return d;
}

void Tree(Canvas& c, float x, float y, float r, const Theme& t, uint32_t seed) {
  c.FillEllipse(x + r * 0.35f, y + r * 0.4f, r * 1.05f, r * 0.8f, Hex(0x000000, 0.28f));
  Rng rng(seed);
  for (int i = 0; i < 6; ++i) {
    float a = float(i) * 1.047f + rng.Range(-0.3f, 0.3f);
    float cx = x + std::cos(a) * r * 0.45f, cy = y + std::sin(a) * r * 0.45f;
    c.FillCircle(cx, cy, r * rng.Range(0.45f, 0.6f), Mix(Hex(t.TreeA), Hex(t.TreeB), rng.Unit()));
  }
  c.FillCircle(x - r * 0.2f, y - r * 0.25f, r * 0.35f, Shade(Hex(t.TreeB), 1.25f));
}

void Rock(Canvas& c, float x, float y, float r, uint32_t seed) {
  Rng rng(seed);
  c.FillEllipse(x + 3, y + 3, r * 1.1f, r * 0.75f, Hex(0x000000, 0.3f));
  c.FillEllipse(x, y, r * 1.1f, r * 0.75f, Mix(Hex(0x77736B), Hex(0x9C978B), rng.Unit()));
  c.FillEllipse(x - r * 0.3f, y - r * 0.25f, r * 0.45f, r * 0.25f, Hex(0xC9C4B6, 0.7f));
}

}  // namespace

Canvas LevelBackground(Fonts&, const LevelShape& s) {
  const Theme& t = kThemes[std::clamp(s.Theme, 0, 7)];
  uint32_t seed = 7000u + uint32_t(s.Theme) * 31u;
  Canvas c(800, 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      float n = Fbm(float(x) * 0.012f, float(y) * 0.012f, seed, 5);
      float fine = HashUnit(x, y, seed + 5) * 0.06f;
      Rgba g = Mix(Hex(t.GroundA), Hex(t.GroundB), std::clamp(n * 1.3f - 0.15f + fine, 0.0f, 1.0f));
      if (s.Theme == 5) {  // paved yard
        bool joint = (x % 40) < 2 || ((y + ((x / 40) % 2) * 20) % 40) < 2;
        if (joint) g = Shade(g, 0.7f);
      }
      if (t.Water) {
        float wx = float(x) + Fbm(float(x) * 0.01f, float(y) * 0.01f, seed + 9, 3) * 80.0f;
        float d = std::fabs(wx - 80.0f - float(y) * 0.25f);
        if (d < 26) g = Mix(Hex(0x2E6F95), Hex(0x5FA8D3), Fbm(float(x) * 0.05f, float(y) * 0.05f, seed + 3, 3));
        else if (d < 31) g = Mix(g, Hex(0xD8C690), 0.7f);
      }
      float light = 0.92f + 0.12f * (1.0f - float(y) / 600.0f);
      c.Set(x, y, Shade(g, light));
    }
  // A soft darker bed under the board and the belts, so the field reads as one.
  Canvas bed(800, 600);
  for (auto& p : s.Points) bed.FillRoundRect(p.first - 26, p.second - 34, p.first + 26, p.second + 34, 10, Hex(0x000000));
  for (auto& belt : s.Belts)
    for (size_t i = 0; i + 1 < belt.size(); ++i)
      bed.Line(belt[i].first, belt[i].second, belt[i + 1].first, belt[i + 1].second, 40, Hex(0x000000));
  bed.BlurAlpha(6, 2);
  bed.ScaleAlpha(0.24f);
  c.Draw(bed, 0, 0);
  Rng rng(seed + 17);
  // Small dots of colour first, then rocks, then trees on top.
  for (int i = 0; i < 700; ++i) {
    float x = rng.Range(10, 690), y = rng.Range(10, 590);
    if (Clearance(s, x, y) < 36) continue;
    Rgba a = Hex(t.Accent);
    a.A = 0.8f;
    c.FillCircle(x, y, rng.Range(1.0f, 2.2f), a);
  }
  for (int i = 0; i < 30; ++i) {
    float x = rng.Range(20, 680), y = rng.Range(20, 580), r = rng.Range(6, 13);
    if (Clearance(s, x, y) < 40 + r) continue;
    Rock(c, x, y, r, rng.Next());
  }
  for (int i = 0; i < 80; ++i) {
    float x = rng.Range(10, 690), y = rng.Range(10, 590), r = rng.Range(14, 30);
    if (Clearance(s, x, y) < 34 + r) continue;
    Tree(c, x, y, r, t, rng.Next());
  }
  return c;
}

uint32_t PieceColour(int index) {
  // Distinct exact colours; the map looks a piece up by the colour under its point.
  uint32_t r = 40u + uint32_t(index) * 5u;
  uint32_t g = 250u - uint32_t(index) * 4u;
  uint32_t b = (uint32_t(index) * 53u + 20u) % 256u;
  return (r << 16) | (g << 8) | b;
}

int PieceAt(const std::vector<MapPiece>& pieces, float x, float y) {
  float jx = x + (Fbm(x * 0.03f, y * 0.03f, 311, 3) - 0.5f) * 14.0f;
  float jy = y + (Fbm(x * 0.03f, y * 0.03f, 733, 3) - 0.5f) * 14.0f;
  int best = -1;
  float bd = std::numeric_limits<float>::max();
  for (size_t i = 0; i < pieces.size(); ++i) {
    float dx = pieces[i].X - jx, dy = pieces[i].Y - jy;
    float d = dx * dx + dy * dy;
    if (d < bd) {
      bd = d;
      best = int(i);
    }
  }
  float reach = 38.0f + 40.0f * Fbm(x * 0.02f, y * 0.02f, 919, 4);
  if (best < 0 || std::sqrt(bd) > reach) return -1;
  if (x < 30 || y < 30 || x > 770 || y > 570) return -1;
  return best;
}

Canvas PieceMap(const std::vector<MapPiece>& pieces) {
  Canvas c(800, 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      int p = PieceAt(pieces, float(x) + 0.5f, float(y) + 0.5f);
      if (p >= 0) c.Set(x, y, Hex(PieceColour(p)));
    }
  return c;
}

Canvas PieceOutlines(const std::vector<MapPiece>& pieces) {
  // The map lights a piece's border by a ramp over this alpha that is dark
  // at 0 and at 255 and brightest near 120, so the outline fades from 255 at
  // the piece's edge to 0 a few pixels inside: the lit band lies just within
  // the edge. An outline of only 0 and 255 would never light up.
  constexpr int kReach = 7;
  std::vector<int> owner(800 * 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) owner[size_t(y) * 800 + size_t(x)] = PieceAt(pieces, float(x) + 0.5f, float(y) + 0.5f);
  Canvas c(800, 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      int me = owner[size_t(y) * 800 + size_t(x)];
      if (me < 0) continue;
      // Distance to the nearest pixel outside the piece (the map's edge counts as outside).
      float nearest = float(kReach + 1);
      for (int dy = -kReach; dy <= kReach; ++dy)
        for (int dx = -kReach; dx <= kReach; ++dx) {
          int nx = x + dx, ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < 800 && ny < 600 && owner[size_t(ny) * 800 + size_t(nx)] == me) continue;
          nearest = std::min(nearest, std::sqrt(float(dx * dx + dy * dy)));
        }
      float a = 1.0f - (nearest - 1.0f) / float(kReach);
      if (a > 0) c.Set(x, y, Hex(0xFFFFFF, std::min(a, 1.0f)));
    }
  return c;
}

Canvas Kingdom(const std::vector<MapPiece>& pieces, int scale, bool faded) {
  int w = 800 * scale, h = 600 * scale;
  Canvas c(w, h);
  // How much land lies around each map pixel, softened, so that shallows and
  // beaches follow the coast smoothly at any scale.
  Canvas land(800, 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x)
      land.Set(x, y, Rgba{0, 0, 0, PieceAt(pieces, float(x) + 0.5f, float(y) + 0.5f) >= 0 ? 1.0f : 0.0f});
  land.BlurAlpha(5, 2);
  auto landness = [&](float x, float y) {
    float fx = x - 0.5f, fy = y - 0.5f;
    int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    float tx = fx - float(x0), ty = fy - float(y0);
    auto at = [&](int xx, int yy) { return land.Get(std::clamp(xx, 0, 799), std::clamp(yy, 0, 599)).A; };
    float top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
    float bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
    return top + (bottom - top) * ty;
  };
  auto smooth = [](float a, float b, float v) {
    float t = std::clamp((v - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
  };
  float inv = 1.0f / float(scale);
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < w; ++px) {
      float x = (float(px) + 0.5f) * inv, y = (float(py) + 0.5f) * inv;
      int p = PieceAt(pieces, x, y);
      float v = landness(x, y);
      Rgba col;
      if (p < 0) {
        float wv = Fbm(x * 0.05f, y * 0.05f, 61, 4);
        col = Mix(Hex(0x1F4E79), Hex(0x3C7DB0), wv);
        col = Mix(col, Hex(0x7FC4D8), 0.6f * smooth(0.05f, 0.5f, v));  // shallows near the coast
      } else {
        float e = Fbm(x * 0.015f, y * 0.015f, 17, 5);
        float detail = Fbm(x * 0.25f, y * 0.25f, 23, 3);
        if (e > 0.66f)
          col = Mix(Hex(0x7D7468), Hex(0xE8E4DA), std::clamp((e - 0.66f) * 6.0f, 0.0f, 1.0f));  // mountains
        else if (e > 0.5f)
          col = Mix(Hex(0x2F5E2A), Hex(0x3F7A32), detail);  // forest
        else
          col = Mix(Hex(0x6E9E45), Hex(0x9CC25E), detail);  // fields
        float fx = std::fmod(x + y * 0.3f, 14.0f);
        if (e < 0.45f && fx < 0.8f) col = Shade(col, 0.85f);  // field furrows
        col = Mix(col, Hex(0xE3D29B), 0.85f * (1.0f - smooth(0.55f, 0.9f, v)));  // beach
      }
      if (faded) {
        float grey = col.R * 0.3f + col.G * 0.59f + col.B * 0.11f;
        col = Mix(Rgba{grey, grey, grey, 1}, Hex(0xD8C39A), 0.55f);
        col = Shade(col, 0.95f + 0.1f * Fbm(x * 0.1f, y * 0.1f, 5, 3));
      }
      c.Set(px, py, col);
    }
  // A keep on every piece, so that each level shows its own stronghold.
  for (size_t i = 0; i < pieces.size(); ++i) {
    float s = float(scale);
    float cx = pieces[i].X * s, cy = pieces[i].Y * s;
    Rgba wall = faded ? Hex(0x8F826C) : Hex(0xCFC7B6);
    Rgba roof = faded ? Hex(0x6E5B45) : (i % 3 == 0 ? Hex(0xA83232) : i % 3 == 1 ? Hex(0x2E5E9E) : Hex(0x8E5A1E));
    c.FillEllipse(cx + 2 * s, cy + 6 * s, 9 * s, 3 * s, Hex(0x000000, 0.3f));
    c.FillRect(cx - 6 * s, cy - 4 * s, cx + 6 * s, cy + 6 * s, wall);
    c.FillRect(cx - 2 * s, cy - 9 * s, cx + 2 * s, cy + 6 * s, Shade(wall, 0.9f));
    c.Polygon({cx - 3 * s, cy - 9 * s, cx + 3 * s, cy - 9 * s, cx, cy - 14 * s}, roof);
    c.Polygon({cx - 7 * s, cy - 4 * s, cx - 3 * s, cy - 4 * s, cx - 5 * s, cy - 8 * s}, roof);
    c.Polygon({cx + 3 * s, cy - 4 * s, cx + 7 * s, cy - 4 * s, cx + 5 * s, cy - 8 * s}, roof);
    c.FillRect(cx - 1 * s, cy + 2 * s, cx + 1 * s, cy + 6 * s, Hex(0x2B2620));
  }
  return c;
}

Canvas MapFramePicture(Fonts& f) {
  Canvas c(800, 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      float d = float(std::min({x, y, 799 - x, 599 - y}));
      if (d < 22) {
        float n = Fbm(float(x) * 0.08f, float(y) * 0.08f, 808, 3);
        Rgba wood = Mix(Hex(0x4A2E16), Hex(0x7A5230), n);
        if (d > 16) wood = Mix(wood, Hex(0xE0B04A), 0.8f);
        c.Set(x, y, wood);
      } else if (d < 40) {
        c.Set(x, y, Rgba{0, 0, 0, 0.35f * (1.0f - (d - 22) / 18.0f)});
      }
    }
  (void)f;
  return c;
}

}  // namespace contentgen
