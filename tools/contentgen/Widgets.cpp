// The pictures of the windows and widgets: dark wooden frames with gold
// trim around parchment, wooden buttons with gold rims, and the title and
// loading screens.
#include <algorithm>
#include <cmath>

#include "Art.h"
#include "Interface.h"

namespace contentgen {

namespace {

const Rgba kGold = Hex(0xE0B04A);
const Rgba kGoldLight = Hex(0xF6D98A);
const Rgba kInk = Hex(0x3B2412);

Rgba Wood(float x, float y, uint32_t seed, float light) {
  // Grain runs across: stretched noise with a few darker streaks.
  float n = Fbm(x * 0.02f, y * 0.22f, seed, 4);
  float streak = 0.5f + 0.5f * std::sin(y * 0.9f + n * 6.0f);
  Rgba c = Mix(Hex(0x4A2C14), Hex(0x7A5230), n * 0.8f + streak * 0.2f);
  return Shade(c, light);
}

Rgba Parchment(float x, float y, uint32_t seed) {
  float n = Fbm(x * 0.03f, y * 0.03f, seed, 4);
  float fine = HashUnit(int(x), int(y), seed + 7u);
  return Mix(Hex(0xE9D8AE), Hex(0xF7EBCB), n * 0.85f + fine * 0.15f);
}

// Darkens a rectangle's border region of a canvas toward its edges.
void EdgeShade(Canvas& c, float x0, float y0, float x1, float y1, float depth, float strength) {
  for (int y = int(y0); y < int(y1); ++y)
    for (int x = int(x0); x < int(x1); ++x) {
      Rgba p = c.Get(x, y);
      if (p.A <= 0) continue;
      float d = std::min({float(x) - x0, float(y) - y0, x1 - 1 - float(x), y1 - 1 - float(y)});
      if (d >= depth) continue;
      float k = 1.0f - strength * (1.0f - d / depth);
      c.Set(x, y, Rgba{p.R * k, p.G * k, p.B * k, p.A});
    }
}

bool InRoundRect(float x, float y, float x0, float y0, float x1, float y1, float r) {
  if (x < x0 || y < y0 || x > x1 || y > y1) return false;
  float cx = std::clamp(x, x0 + r, x1 - r), cy = std::clamp(y, y0 + r, y1 - r);
  float dx = x - cx, dy = y - cy;
  return dx * dx + dy * dy <= r * r;
}

Canvas PanelPicture(int w, int h) {
  const float W = float(w), H = float(h);
  Canvas c(w, h);
  const uint32_t seed = uint32_t(w * 31 + h);
  c.FillShape(
      0, 0, W, H, [&](float x, float y) { return InRoundRect(x, y, 0, 0, W, H, 12); },
      [&](float x, float y) { return Wood(x, y, seed, y < 46 ? 0.85f : 1.0f); });
  c.StrokeRoundRect(1, 1, W - 1, H - 1, 11, 2.0f, Hex(0x1E1008));
  c.StrokeRoundRect(5, 5, W - 5, H - 5, 8, 1.5f, kGold);
  // The parchment body under the title band.
  const float bx0 = 11, by0 = 48, bx1 = W - 11, by1 = H - 11;
  c.FillShape(
      bx0, by0, bx1, by1, [&](float x, float y) { return InRoundRect(x, y, bx0, by0, bx1, by1, 5); },
      [&](float x, float y) { return Parchment(x, y, seed + 1u); });
  EdgeShade(c, bx0, by0, bx1, by1, 14, 0.22f);
  c.StrokeRoundRect(bx0, by0, bx1, by1, 5, 1.2f, Hex(0x8D6E3F));
  c.FillRect(14, 44, W - 14, 45.5f, kGold);
  for (float x : {10.0f, W - 10.0f})
    for (float y : {10.0f, H - 10.0f}) {
      c.FillCircle(x, y, 3.2f, Hex(0x8A6424));
      c.FillCircle(x - 0.8f, y - 0.8f, 1.6f, kGoldLight);
    }
  return c;
}

Canvas ButtonPicture(int w, int h, int look) {
  const float W = float(w), H = float(h), r = std::min(9.0f, H / 3.0f);
  Canvas c(w, h);
  Rgba top = look == 1 ? Hex(0xA0481E) : look == 2 ? Hex(0x4A1A08) : Hex(0x86381A);
  Rgba bottom = look == 1 ? Hex(0x6E2A0E) : look == 2 ? Hex(0x5E240C) : Hex(0x561E0A);
  c.FillShape(
      0, 0, W, H, [&](float x, float y) { return InRoundRect(x, y, 0.5f, 0.5f, W - 0.5f, H - 0.5f, r); },
      [&](float x, float y) {
        float t = y / H;
        Rgba base = Mix(top, bottom, look == 2 ? 1.0f - t : t);
        float n = Fbm(x * 0.05f, y * 0.3f, 77u, 3);
        return Shade(base, 0.9f + 0.2f * n);
      });
  Rgba rim = look == 1 ? kGoldLight : kGold;
  c.StrokeRoundRect(1, 1, W - 1, H - 1, r - 0.5f, 1.6f, rim);
  Rgba shine = Hex(0xFFFFFF, look == 2 ? 0.06f : 0.16f);
  if (look == 2)
    c.FillRoundRect(5, H - 9, W - 5, H - 4, 2.5f, shine);
  else
    c.FillRoundRect(5, 4, W - 5, H * 0.42f, 4, shine);
  c.StrokeRoundRect(3, 3, W - 3, H - 3, r - 2, 0.8f, Hex(0x000000, 0.35f));
  return c;
}

Canvas ChoiceBox(bool radio, bool checked) {
  Canvas c(22, 22);
  if (radio) {
    c.FillCircle(11, 11, 9.5f, Hex(0x5A3A1A));
    c.FillCircle(11, 11, 8, Hex(0xF7EBCB));
    c.StrokeCircle(11, 11, 7, 1.0f, Hex(0xB89A66, 0.7f));
    if (checked) {
      c.FillCircle(11, 11, 5, Hex(0x8B1A0A));
      c.FillCircle(9.6f, 9.6f, 1.7f, Hex(0xFFB0A0));
    }
  } else {
    c.FillRoundRect(1, 1, 21, 21, 4, Hex(0x5A3A1A));
    c.FillRoundRect(2.5f, 2.5f, 19.5f, 19.5f, 3, Hex(0xF7EBCB));
    if (checked) {
      c.Line(6, 11.5f, 9.5f, 15.5f, 2.6f, Hex(0x8B1A0A));
      c.Line(9.5f, 15.5f, 16.5f, 6, 2.6f, Hex(0x8B1A0A));
    }
  }
  return c;
}

Canvas Groove(int w, int h, bool vertical, float inset) {
  Canvas c(w, h);
  const float W = float(w), H = float(h);
  if (vertical) {
    c.FillRoundRect(W / 2 - 5, inset, W / 2 + 5, H - inset, 5, Hex(0x2A170A));
    c.StrokeRoundRect(W / 2 - 5, inset, W / 2 + 5, H - inset, 5, 1.2f, Hex(0xC99A45));
  } else {
    c.FillRoundRect(inset, H / 2 - 5, W - inset, H / 2 + 5, 5, Hex(0x2A170A));
    c.StrokeRoundRect(inset, H / 2 - 5, W - inset, H / 2 + 5, 5, 1.2f, Hex(0xC99A45));
  }
  return c;
}

Canvas SliderKnob(int w, int h, bool over) {
  Canvas c(w, h);
  const float W = float(w), H = float(h);
  c.FillShape(
      0, 0, W, H, [&](float x, float y) { return InRoundRect(x, y, 1, 1, W - 1, H - 1, 4); },
      [&](float, float y) { return Mix(over ? kGoldLight : Hex(0xE8C266), Hex(0x9C6F22), y / H); });
  c.StrokeRoundRect(1, 1, W - 1, H - 1, 4, 1.2f, Hex(0x4A2C10));
  return c;
}

Canvas StepButton(int arrow, int look) {
  Canvas c = ButtonPicture(26, 26, look);
  const Rgba ink = look == 1 ? kGoldLight : Hex(0xFFF1CF);
  const float m = look == 2 ? 13.5f : 13.0f;
  std::vector<float> tri;
  switch (arrow) {
    case 0:
      tri = {m - 4, m, m + 3, m - 5, m + 3, m + 5};
      break;
    case 1:
      tri = {m + 4, m, m - 3, m - 5, m - 3, m + 5};
      break;
    case 2:
      tri = {m, m - 4, m - 5, m + 3, m + 5, m + 3};
      break;
    default:
      tri = {m, m + 4, m - 5, m - 3, m + 5, m - 3};
      break;
  }
  c.Polygon(tri, ink);
  return c;
}

Canvas Inset(int w, int h, uint32_t seed, float rowPitch) {
  Canvas c(w, h);
  const float W = float(w), H = float(h);
  c.FillShape(
      0, 0, W, H, [&](float x, float y) { return InRoundRect(x, y, 0, 0, W, H, 4); },
      [&](float x, float y) { return Mix(Parchment(x, y, seed), Hex(0xFFF8E6), 0.45f); });
  if (rowPitch > 0)
    for (float y = 6 + rowPitch; y < H - 8; y += rowPitch)
      c.FillRect(10, y - 0.5f, W - 10, y + 0.5f, Hex(0x8D6E3F, 0.25f));
  // Sunk in: dark above and to the left, light below and to the right.
  c.FillRect(2, 1, W - 2, 2.5f, Hex(0x3B2412, 0.45f));
  c.FillRect(1, 2, 2.5f, H - 2, Hex(0x3B2412, 0.35f));
  c.StrokeRoundRect(0.5f, 0.5f, W - 0.5f, H - 0.5f, 4, 1.2f, Hex(0x6B4A22));
  return c;
}

// The plate under the between-level window's titles, in two parts, one for
// each title's label: the upper part, or the lower one below it. The game
// writes the titles black and grey on the left of the map and yellow on the
// right, over the same plate: a mid-toned pewter that both colourings stand
// out from, its cool tone setting off the yellow.
Canvas Cartouche(int w, int h, bool lower) {
  constexpr float kPlateHeight = 56;
  const float W = float(w), H = kPlateHeight, top = lower ? H - float(h) : 0;
  Canvas plate(w, int(H));
  plate.FillShape(
      0, 0, W, H, [&](float x, float y) { return InRoundRect(x, y, 0, 0, W, H, 10); },
      [&](float x, float y) {
        float n = Fbm(x * 0.04f, y * 0.04f, 404u, 3);
        // Darker behind the kingdom (black or bright yellow), lighter behind
        // the difficulty (grey or a duller yellow).
        float t = std::clamp((y - 22.0f) / 14.0f, 0.0f, 1.0f);
        return Shade(Mix(Hex(0x66748A), Hex(0x8492A8), t * t * (3 - 2 * t)), 0.97f + 0.06f * n);
      });
  plate.StrokeRoundRect(1, 1, W - 1, H - 1, 9, 2.0f, kGold);
  plate.StrokeRoundRect(4.5f, 4.5f, W - 4.5f, H - 4.5f, 6, 0.8f, Hex(0x1E1008, 0.5f));
  // The four suits at the far end, clear of the short titles.
  for (int s = 0; s < 4; ++s) DrawSuit(plate, s, W - 82.0f + float(s) * 20.0f, H / 2, 7, Hex(0xE0B04A, 0.6f));
  Canvas c(w, h);
  c.Draw(plate, 0, -int(top));
  return c;
}

}  // namespace

Canvas WidgetPictureCanvas(const WidgetPicture& p) {
  switch (p.What) {
    case WidgetPicture::Panel:
      return PanelPicture(p.Width, p.Height);
    case WidgetPicture::Button:
      return ButtonPicture(p.Width, p.Height, p.Look);
    case WidgetPicture::CheckBox:
      return ChoiceBox(false, p.Look == 1);
    case WidgetPicture::RadioButton:
      return ChoiceBox(true, p.Look == 1);
    case WidgetPicture::SliderTrack:
      return Groove(p.Width, p.Height, p.Vertical, 24);
    case WidgetPicture::SliderBar:
      return SliderKnob(p.Width, p.Height, p.Look == 1);
    case WidgetPicture::SliderStep:
      return StepButton(p.Arrow, p.Look);
    case WidgetPicture::ProgressTrack: {
      Canvas c(p.Width, p.Height);
      const float W = float(p.Width), H = float(p.Height);
      c.FillRoundRect(0, 0, W, H, 6, Hex(0x1E1008, 0.92f));
      c.StrokeRoundRect(1, 1, W - 1, H - 1, 5, 1.5f, kGold);
      return c;
    }
    case WidgetPicture::ProgressStep: {
      Canvas c(p.Width, p.Height);
      const float W = float(p.Width), H = float(p.Height);
      c.FillShape(
          0, 0, W, H, [&](float x, float y) { return InRoundRect(x, y, 0, 0, W, H, 1.5f); },
          [&](float, float y) { return Mix(kGoldLight, Hex(0xB07A1E), y / H); });
      return c;
    }
    case WidgetPicture::EditBack:
      return Inset(p.Width, p.Height, 501u, 0);
    case WidgetPicture::EditCursor: {
      Canvas c(p.Width, p.Height);
      c.FillRect(0, 0, float(p.Width), float(p.Height), kInk);
      return c;
    }
    case WidgetPicture::GridBack:
      return Inset(p.Width, p.Height, 502u, 28);
    case WidgetPicture::GridCursor: {
      Canvas c(p.Width, p.Height);
      const float W = float(p.Width), H = float(p.Height);
      c.FillRoundRect(0, 0, W, H, 5, Hex(0xE0B04A, 0.5f));
      c.StrokeRoundRect(0.5f, 0.5f, W - 0.5f, H - 0.5f, 5, 1.2f, Hex(0x9C6F22, 0.9f));
      return c;
    }
    case WidgetPicture::Cartouche:
      return Cartouche(p.Width, p.Height, p.Look == 1);
  }
  return Canvas(1, 1);
}

Canvas HintWindow(int corner) {
  // The game places a balloon so that its tip touches the point it explains:
  // tips 88 pixels from the left or 174 (88 from the right), at the top or
  // the bottom of a 262 x 123 picture.
  Canvas c(262, 123);
  const bool left = corner == 0 || corner == 2;
  const bool top = corner == 0 || corner == 1;
  const float tx = left ? 88.0f : 174.0f;
  const float y0 = top ? 18.0f : 0.0f, y1 = top ? 123.0f : 105.0f;
  const Rgba body = Hex(0xFFF6DA), border = Hex(0x8D6E3F);
  c.FillRoundRect(0, y0, 262, y1, 12, border);
  c.FillRoundRect(2, y0 + 2, 260, y1 - 2, 10, body);
  if (top) {
    c.Polygon({tx - 13, y0 + 1, tx + 13, y0 + 1, tx, 2}, border);
    c.Polygon({tx - 10, y0 + 3, tx + 10, y0 + 3, tx, 5}, body);
  } else {
    c.Polygon({tx - 13, y1 - 1, tx + 13, y1 - 1, tx, 122}, border);
    c.Polygon({tx - 10, y1 - 3, tx + 10, y1 - 3, tx, 119}, body);
  }
  return c;
}

Canvas TitleBackground(Fonts& f, const Canvas& kingdom, bool loading) {
  Canvas c = kingdom;
  // Dusk over the kingdom, darker toward the edges.
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) {
      Rgba p = c.Get(x, y);
      float dx = (float(x) - 400) / 400, dy = (float(y) - 300) / 300;
      float k = 0.55f - 0.25f * std::min(1.0f, dx * dx + dy * dy);
      // Warm, like old varnish.
      c.Set(x, y, Rgba{p.R * k * 1.08f + 0.05f, p.G * k * 0.9f + 0.03f, p.B * k * 0.65f + 0.01f, 1});
    }
  // The name on a wooden banner.
  c.FillShape(
      150, 40, 650, 150, [](float x, float y) { return InRoundRect(x, y, 150, 40, 650, 150, 16); },
      [](float x, float y) { return Wood(x, y, 4711u, 0.9f); });
  c.StrokeRoundRect(150, 40, 650, 150, 16, 2.5f, kGold);
  c.StrokeRoundRect(157, 47, 643, 143, 11, 1.0f, Hex(0xE0B04A, 0.6f));
  f.Serif.DrawCentred(c, "QUORVANE", 402, 122, 62, Hex(0x000000, 0.6f));
  f.Serif.DrawCentred(c, "QUORVANE", 400, 119, 62, kGoldLight);
  for (int s = 0; s < 4; ++s) DrawSuit(c, s, 205.0f + float(s) * 130.0f, 170, 16, Hex(0xE0B04A, 0.85f));
  if (!loading) {
    // A dark glass plate behind the buttons.
    c.FillRoundRect(266, 196, 534, 518, 14, Hex(0x140A04, 0.55f));
    c.StrokeRoundRect(266, 196, 534, 518, 14, 1.5f, Hex(0xE0B04A, 0.7f));
  } else {
    c.FillRoundRect(180, 455, 620, 540, 14, Hex(0x140A04, 0.6f));
    c.StrokeRoundRect(180, 455, 620, 540, 14, 1.5f, Hex(0xE0B04A, 0.7f));
  }
  return c;
}

Canvas MakerLogo(Fonts& f, bool lit) {
  Canvas c(176, 56);
  c.FillShape(
      0, 0, 176, 56, [](float x, float y) { return InRoundRect(x, y, 1, 1, 175, 55, 10); },
      [lit](float x, float y) { return Wood(x, y, 99u, lit ? 1.25f : 0.95f); });
  c.StrokeRoundRect(1.5f, 1.5f, 174.5f, 54.5f, 9, 1.6f, lit ? kGoldLight : kGold);
  // A small shield with a crown of three points.
  c.Polygon({12, 12, 38, 12, 38, 30, 25, 44, 12, 30}, lit ? kGoldLight : kGold);
  c.Polygon({15, 15, 35, 15, 35, 29, 25, 40, 15, 29}, Hex(0x7A1E0A));
  c.Polygon({18, 26, 18, 19, 22, 23, 25, 18, 28, 23, 32, 19, 32, 26}, lit ? kGoldLight : kGold);
  f.Serif.Draw(c, "OSTRANDEL", 45, 34, 14, lit ? Hex(0xFFFFFF) : kGoldLight);
  f.Sans.Draw(c, "GAMES", 46, 47, 9, Hex(0xE0B04A, 0.9f));
  return c;
}

}  // namespace contentgen
