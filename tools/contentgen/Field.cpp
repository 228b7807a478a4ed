// Pieces of the playing field: belt, frame, creatures, walls, cursor, hint
// balloons and the small animated decorations of the levels.
#include <algorithm>
#include <cmath>

#include "Art.h"

namespace contentgen {

namespace {
constexpr float kPi = 3.14159265f;
}

Canvas Pen() {
  Canvas c(46, 46);
  c.FillCircle(23, 23, 19, Hex(0xFFFFFF));
  c.BlurAlpha(2, 2);
  return c;
}

Canvas BeltPart() {
  Canvas c(14, 14);
  c.FillCircle(7, 7, 6.5f, Hex(0x2E2A25));
  c.FillCircle(7, 7, 5.3f, Hex(0xB9B2A3));
  c.FillCircle(6, 6, 2.6f, Hex(0xEDE8DA));
  c.Line(4.5f, 7, 9.5f, 7, 1.2f, Hex(0x5A544A));
  return c;
}

Canvas BeltTexture(int variant) {
  Canvas c(800, 600);
  Rgba a = variant == 0 ? Hex(0x3B2A1E) : Hex(0x23303A);
  Rgba b = variant == 0 ? Hex(0x6E4B2F) : Hex(0x46606F);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      float n = Fbm(float(x) * 0.05f, float(y) * 0.05f, 900u + uint32_t(variant), 4);
      float grain = HashUnit(x, y, 31u + uint32_t(variant)) * 0.08f;
      c.Set(x, y, Mix(a, b, std::clamp(n * 1.2f - 0.1f + grain, 0.0f, 1.0f)));
    }
  return c;
}

Canvas CanvasTexture(int variant) {
  Canvas c(800, 600);
  Rgba a = variant == 0 ? Hex(0x1F5E3A) : Hex(0x6B4A2B);
  Rgba b = variant == 0 ? Hex(0x2F7A4D) : Hex(0x8A6840);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      float n = Fbm(float(x) * 0.03f, float(y) * 0.03f, 500u + uint32_t(variant), 4);
      float weave = ((x + y) % 4 == 0 || (x - y + 800) % 4 == 0) ? 0.06f : 0.0f;
      c.Set(x, y, Mix(a, b, std::clamp(n + weave, 0.0f, 1.0f)));
    }
  return c;
}

Canvas FieldFrame(Fonts& /*f*/) {
  // A dark vignette around the screen and the right-hand panel with the drop
  // pack slot at (731, 375) - (763, 427).
  Canvas c(800, 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 700; ++x) {
      float d = float(std::min({x, y, 699 - x, 599 - y}));
      if (d < 14) c.Set(x, y, Rgba{0.05f, 0.03f, 0.02f, std::clamp(0.75f * (1.0f - d / 14.0f), 0.0f, 1.0f)});
    }
  c.FillShape(700, 0, 800, 600, [](float, float) { return true; }, [](float x, float y) {
    float n = Fbm(x * 0.12f, y * 0.01f, 4242, 4);
    return Mix(Hex(0x4A2E16), Hex(0x7A5230), n);
  });
  c.FillRect(700, 0, 704, 600, Hex(0x2A180A));
  c.FillRect(704, 0, 706, 600, Hex(0xC99A45));
  c.FillRoundRect(712, 16, 792, 70, 6, Hex(0x2A180A, 0.85f));
  c.StrokeRoundRect(712, 16, 792, 70, 6, 1.5f, Hex(0xE0B04A));
  // The words over the score and the drop pack are labels of the game
  // window, in the player's language.
  c.FillRoundRect(721, 352, 773, 437, 6, Hex(0x1C1008, 0.9f));
  c.StrokeRoundRect(721, 352, 773, 437, 6, 1.5f, Hex(0xE0B04A));
  c.FillRoundRect(731, 375, 763, 427, 3.5f, Hex(0x000000, 0.5f));
  c.StrokeRoundRect(731, 375, 763, 427, 3.5f, 1.0f, Hex(0xFFFFFF, 0.5f));
  for (int i = 0; i < 4; ++i) {
    c.FillCircle(712 + float(i % 2) * 80, 100 + float(i / 2) * 460, 3, Hex(0xC99A45));
  }
  return c;
}

Canvas CardPack() {
  Canvas c(48, 60);
  for (int i = 3; i >= 0; --i) {
    float o = float(i) * 2.0f;
    c.FillRoundRect(8 + o, 5 - o * 0.5f + 2, 40 + o, 55 - o * 0.5f + 2, 3.5f, Hex(0x0F1D35));
    c.FillRoundRect(9 + o, 6 - o * 0.5f + 2, 39 + o, 54 - o * 0.5f + 2, 3.0f, Hex(0x1F3A68));
  }
  c.StrokeRoundRect(11, 8, 37, 52, 2, 1, Hex(0xC9A64A));
  DrawSuit(c, 2, 24, 30, 10, Hex(0xC9A64A));
  return c;
}

Canvas EndHat() {
  // A wizard's hat that swallows the cards at the end of the belt.
  Canvas c(60, 60);
  c.FillEllipse(30, 48, 28, 9, Hex(0x1A1030));
  c.Polygon({10, 48, 50, 48, 36, 4}, Hex(0x3D2A78));
  c.Polygon({10, 48, 30, 48, 36, 4}, Hex(0x4E37A0));
  c.FillEllipse(30, 48, 22, 5, Hex(0x0C0818));
  for (int i = 0; i < 5; ++i) {
    float x = 22 + float(i) * 4.5f, y = 36 - float(i) * 6;
    c.FillCircle(x, y, 1.6f, Hex(0xFFE08A));
  }
  c.FillRect(14, 40, 46, 44, Hex(0xD9A62E));
  return c;
}

namespace {
void Figure(Canvas& c, const Rgba& cloak, const Rgba& trim, bool hat) {
  c.FillEllipse(20, 53, 15, 3, Hex(0x000000, 0.4f));
  c.Polygon({6, 52, 34, 52, 27, 20, 13, 20}, cloak);
  c.Polygon({13, 20, 20, 52, 6, 52}, Shade(cloak, 1.2f));
  c.FillCircle(20, 17, 7, Hex(0xE8C4A0));
  if (hat) {
    c.FillRect(11, 9, 29, 11, Hex(0x111111));
    c.FillRect(14, 0, 26, 10, Hex(0x1B1B1B));
    c.FillRect(14, 6, 26, 8, trim);
  } else {
    c.FillShape(10, 6, 30, 26, [](float x, float y) {
      float dx = (x - 20) / 10, dy = (y - 16) / 10;
      bool hood = dx * dx + dy * dy <= 1.0f;
      float fx = (x - 20) / 6, fy = (y - 18) / 6.5f;
      return hood && !(fx * fx + fy * fy <= 1.0f);
    }, cloak);
    c.FillRect(14, 16, 26, 19, Hex(0x151515));
  }
  c.FillCircle(17, 17, 1.1f, Hex(0xFFFFFF));
  c.FillCircle(23, 17, 1.1f, Hex(0xFFFFFF));
  c.Line(9, 33, 31, 33, 2, trim);
}
}  // namespace

Canvas Thief() {
  Canvas c(40, 56);
  Figure(c, Hex(0x3F4A3C), Hex(0xA08C5B), false);
  c.FillEllipse(31, 44, 6, 7, Hex(0x8B6B3D));  // the sack
  c.FillRect(29, 36, 33, 38, Hex(0x5B4325));
  return c;
}

Canvas Sharper() {
  Canvas c(40, 56);
  Figure(c, Hex(0x5A1E2E), Hex(0xD9A62E), true);
  c.FillRoundRect(27, 30, 35, 42, 1.5f, Hex(0xFBF8EF));  // a card up the sleeve
  DrawSuit(c, 3, 31, 36, 5, Hex(0xC8102E));
  return c;
}

Canvas CursorStrip() {
  // Thirty frames, 40 pixels wide, 41 apart: an arrow whose gem glints.
  Canvas c(30 * 41, 42);
  for (int f = 0; f < 30; ++f) {
    float ox = float(f * 41);
    std::vector<float> arrow = {ox + 2, 2, ox + 2, 30, ox + 9, 23, ox + 14, 34, ox + 19, 32, ox + 14, 21, ox + 23, 21};
    std::vector<float> shadow;
    for (size_t i = 0; i < arrow.size(); i += 2) {
      shadow.push_back(arrow[i] + 2);
      shadow.push_back(arrow[i + 1] + 2);
    }
    c.Polygon(shadow, Hex(0x000000, 0.35f));
    c.Polygon(arrow, Hex(0x3A2208));
    std::vector<float> inner = {ox + 4, 7, ox + 4, 25, ox + 9.5f, 19.5f, ox + 14.5f, 30, ox + 16.5f, 29, ox + 11.5f, 19,
                                ox + 18, 19};
    c.Polygon(inner, Hex(0xE8C15A));
    float phase = float(f) / 30.0f * 2 * kPi;
    float glow = 0.5f + 0.5f * std::sin(phase);
    c.FillCircle(ox + 7, 13, 2.2f + glow, Mix(Hex(0xC8102E), Hex(0xFFD0D0), glow));
  }
  return c;
}

Canvas CastleLine(bool vertical) {
  Canvas c = vertical ? Canvas(6, 54) : Canvas(36, 8);
  if (vertical)
    c.FillRoundRect(1, 0, 5, 54, 2, Hex(0xF2C94C));
  else
    c.FillRoundRect(0, 2, 36, 6, 2, Hex(0xF2C94C));
  c.BlurAlpha(1, 1);
  return c;
}

Canvas CastleCorner() {
  Canvas c(10, 12);
  c.FillCircle(5, 6, 4, Hex(0xF2C94C));
  c.FillCircle(4.5f, 5.5f, 1.5f, Hex(0xFFF4C8));
  return c;
}

namespace {
struct Brick {
  float X0, Y0, X1, Y1;
  Rgba Colour;
};

std::vector<Brick> WallBricks(int w, int h, int style) {
  std::vector<Brick> bricks;
  Rgba base = style == 0 ? Hex(0x8A7F70) : style == 1 ? Hex(0x9A5B3C) : Hex(0x6F7782);
  int rowH = 12;
  for (int row = 0; row * rowH < h; ++row) {
    float offset = (row % 2) ? -9.0f : 0.0f;
    for (float x = offset; x < float(w); x += 18.0f) {
      float n = HashUnit(int(x * 7) + 3, row, 1234u + uint32_t(style));
      bricks.push_back(Brick{std::max(0.0f, x) + 0.5f, float(row * rowH) + 0.5f, std::min(float(w), x + 18) - 0.5f,
                             std::min(float(h), float(row * rowH + rowH)) - 0.5f, Shade(base, 0.8f + 0.4f * n)});
    }
  }
  return bricks;
}

void DrawBrick(Canvas& c, const Brick& b, float dx, float dy, float alpha) {
  Rgba col = b.Colour;
  col.A = alpha;
  c.FillRoundRect(b.X0 + dx, b.Y0 + dy, b.X1 + dx, b.Y1 + dy, 1.5f, col);
  Rgba hi = Shade(b.Colour, 1.25f);
  hi.A = alpha * 0.8f;
  c.FillRect(b.X0 + dx + 1, b.Y0 + dy + 1, b.X1 + dx - 1, b.Y0 + dy + 2.5f, hi);
}
}  // namespace

Canvas Wall(int w, int h, int style) {
  Canvas c(w, h);
  c.FillRoundRect(0, 0, float(w), float(h), 3, Hex(0x2B2620));
  for (const Brick& b : WallBricks(w, h, style)) DrawBrick(c, b, 0, 0, 1.0f);
  return c;
}

Canvas WallCrashStrip(int w, int h, int style) {
  std::vector<Brick> bricks = WallBricks(w, h, style);
  Canvas strip(w * 20, h);
  for (int f = 0; f < 20; ++f) {
    Canvas frame(w, h);
    float t = float(f) / 19.0f;
    for (size_t i = 0; i < bricks.size(); ++i) {
      const Brick& b = bricks[i];
      float start = HashUnit(int(i), 7, 99u) * 0.5f;
      float k = std::clamp((t - start) / 0.5f, 0.0f, 1.0f);
      float dy = k * k * float(h) * 0.8f;
      float dx = (HashUnit(int(i), 9, 98u) - 0.5f) * 16.0f * k;
      DrawBrick(frame, b, dx, dy, 1.0f - k);
    }
    strip.Draw(frame, f * w, 0);
  }
  return strip;
}

Canvas FlagStrip() {
  // Eight frames of a waving banner in a grid of four columns.
  int fw = 40, fh = 56;
  Canvas c(fw * 4, fh * 2);
  for (int f = 0; f < 8; ++f) {
    float ox = float((f % 4) * fw), oy = float((f / 4) * fh);
    c.FillRect(ox + 4, oy + 2, ox + 7, oy + 54, Hex(0x5B4325));
    c.FillCircle(ox + 5.5f, oy + 3, 2.5f, Hex(0xD9A62E));
    float phase = float(f) / 8.0f * 2 * kPi;
    c.FillShape(ox + 7, oy + 4, ox + 40, oy + 34,
                [=](float x, float y) {
                  float u = (x - ox - 7) / 30.0f;
                  float wave = std::sin(u * 5.0f - phase) * 3.0f * u;
                  return u >= 0 && u <= 1 && y >= oy + 6 + wave && y <= oy + 26 + wave - u * 2;
                },
                [=](float x, float y) {
                  float u = (x - ox - 7) / 30.0f;
                  float shade = 0.8f + 0.2f * std::cos(u * 5.0f - phase);
                  bool stripe = std::fmod(y - oy, 8.0f) < 4.0f;
                  return Shade(stripe ? Hex(0x8E1B2E) : Hex(0xC9A64A), shade);
                });
  }
  return c;
}

Canvas TorchFrame(int frame) {
  Canvas c(24, 48);
  c.FillRect(10, 24, 14, 47, Hex(0x5B4325));
  c.FillRect(7, 22, 17, 26, Hex(0x3A2A18));
  float sway = frame == 0 ? -1.5f : frame == 1 ? 1.0f : 0.0f;
  c.FillEllipse(12 + sway * 0.5f, 15, 6.5f, 9, Hex(0xF39C12, 0.9f));
  c.FillEllipse(12 + sway, 13, 4.5f, 7, Hex(0xF7DC6F));
  c.FillEllipse(12 + sway, 16, 2.5f, 3.5f, Hex(0xFFFFFF, 0.9f));
  Canvas glow(24, 48);
  glow.FillCircle(12, 14, 11, Hex(0xFFB347, 0.35f));
  glow.BlurAlpha(2);
  glow.Draw(c, 0, 0);
  return glow;
}

Canvas Amulet() {
  Canvas c(36, 44);
  c.Line(18, 0, 8, 16, 1.5f, Hex(0xC9A64A));
  c.Line(18, 0, 28, 16, 1.5f, Hex(0xC9A64A));
  c.FillCircle(18, 28, 13, Hex(0xB7862A));
  c.FillCircle(18, 28, 10, Hex(0x1B7F79));
  c.FillCircle(15, 25, 3.5f, Hex(0x9FF3E8));
  DrawSuit(c, 3, 18, 29, 8, Hex(0xE8FFFB, 0.8f));
  return c;
}

Canvas Lantern(bool lit) {
  Canvas c(32, 48);
  if (lit) {
    c.FillCircle(16, 26, 15, Hex(0xFFE08A, 0.45f));
    c.BlurAlpha(3);
  }
  c.FillRect(14, 2, 18, 8, Hex(0x2B2620));
  c.FillRoundRect(8, 8, 24, 12, 2, Hex(0x2B2620));
  c.FillRoundRect(9, 12, 23, 38, 3, lit ? Hex(0xFFD66B) : Hex(0x4A4A52));
  c.StrokeRoundRect(9, 12, 23, 38, 3, 1.5f, Hex(0x2B2620));
  c.FillRect(15.25f, 12, 16.75f, 38, Hex(0x2B2620));
  c.FillRoundRect(7, 38, 25, 43, 2, Hex(0x2B2620));
  return c;
}

Canvas MapMarker() {
  Canvas c(24, 24);
  c.FillCircle(12, 12, 10, Hex(0xFFF2A8, 0.9f));
  c.BlurAlpha(2);
  c.FillCircle(12, 12, 4.5f, Hex(0xFFFFFF));
  c.StrokeCircle(12, 12, 6, 1.5f, Hex(0xC8102E));
  return c;
}

Canvas MapDot() {
  Canvas c(6, 6);
  c.FillCircle(3, 3, 2.4f, Hex(0x7A1020));
  return c;
}

}  // namespace contentgen
