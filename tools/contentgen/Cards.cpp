// Cards and the card-sized pictures: faces, bonus cards, backs, slots, glows
// and the turning strips.
#include <algorithm>
#include <cmath>
#include <string>

#include "Art.h"

namespace contentgen {

namespace {

constexpr int kW = 32;
constexpr int kH = 50;
const Rgba kPaper = Hex(0xFBF8EF);
const Rgba kInk = Hex(0x17171C);
const Rgba kRed = Hex(0xC8102E);
const Rgba kGold = Hex(0xD9A62E);

bool Circle(float x, float y, float cx, float cy, float r) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; }

const char* RankText(int rank) {
  static const char* texts[13] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
  return texts[rank];
}

// The white card body with a thin rim; everything else is drawn on top.
Canvas CardBody(const Rgba& paper, const Rgba& rim) {
  Canvas c(kW, kH);
  c.FillRoundRect(0, 0, kW, kH, 3.5f, rim);
  c.FillRoundRect(1, 1, kW - 1, kH - 1, 2.7f, paper);
  return c;
}

}  // namespace

bool InSuit(int suit, float x, float y) {
  switch (suit) {
    case 2:  // diamond
      return std::fabs(x) / 0.78f + std::fabs(y) / 1.0f <= 1.0f;
    case 3:  // heart
      if (Circle(x, y, -0.45f, -0.38f, 0.52f) || Circle(x, y, 0.45f, -0.38f, 0.52f)) return true;
      return y >= -0.3f && y <= 0.95f && std::fabs(x) <= 0.96f * (0.95f - y) / 1.25f;
    case 0:  // spade
      if (Circle(x, y, -0.45f, 0.12f, 0.47f) || Circle(x, y, 0.45f, 0.12f, 0.47f)) return true;
      if (y <= 0.2f && y >= -1.0f && std::fabs(x) <= 0.93f * (y + 1.0f) / 1.15f) return true;
      return y >= 0.2f && y <= 0.98f && std::fabs(x) <= 0.07f + (y - 0.2f) * 0.42f;
    case 1:  // club
      if (Circle(x, y, 0.0f, -0.5f, 0.4f) || Circle(x, y, -0.5f, 0.1f, 0.4f) || Circle(x, y, 0.5f, 0.1f, 0.4f) ||
          Circle(x, y, 0.0f, -0.05f, 0.25f))
        return true;
      return y >= 0.1f && y <= 0.98f && std::fabs(x) <= 0.07f + (y - 0.1f) * 0.38f;
    default:
      return false;
  }
}

Rgba SuitColour(int suit) { return suit >= 2 ? kRed : kInk; }

void DrawSuit(Canvas& c, int suit, float cx, float cy, float size, const Rgba& colour) {
  float h = size / 2;
  c.FillShape(cx - h, cy - h, cx + h, cy + h, [=](float x, float y) { return InSuit(suit, (x - cx) / h, (y - cy) / h); },
              colour);
}

Canvas CardFace(Fonts& f, int suit, int rank) {
  Rgba ink = SuitColour(suit);
  bool face = rank >= 9 && rank <= 11;
  Canvas c = CardBody(kPaper, Hex(0x8C8577));
  if (face) {
    // Court cards: a gold panel with the big letter, so they stand out from numerals.
    c.FillRoundRect(13, 17, 30, 47, 2.0f, Hex(0xF3DFA2));
    c.StrokeRoundRect(13, 17, 30, 47, 2.0f, 1.0f, kGold);
    f.Serif.DrawCentred(c, RankText(rank), 21.5f, 33.0f, 14, Shade(ink, 0.9f));
    DrawSuit(c, suit, 21.5f, 41.0f, 7.0f, ink);
  } else if (rank == 12) {
    DrawSuit(c, suit, 19.0f, 32.0f, 21.0f, ink);
  } else {
    DrawSuit(c, suit, 20.0f, 34.0f, 17.0f, ink);
  }
  const char* text = RankText(rank);
  int size = rank == 8 ? 12 : 14;
  float w = f.Sans.TextWidth(text, size);
  float x = rank == 8 ? 1.0f : std::max(2.0f, 7.5f - w / 2);
  f.Sans.Draw(c, text, x, 13.0f, size, ink);
  DrawSuit(c, suit, 7.5f, 19.5f, 8.5f, ink);
  return c;
}

namespace {

void Scissors(Canvas& c, float cx, float cy) {
  Rgba steel = Hex(0xF4F4F4);
  c.Line(cx - 7, cy - 9, cx + 6, cy + 6, 2.6f, steel);
  c.Line(cx + 7, cy - 9, cx - 6, cy + 6, 2.6f, steel);
  c.StrokeCircle(cx - 7, cy + 8, 3.2f, 1.8f, steel);
  c.StrokeCircle(cx + 7, cy + 8, 3.2f, 1.8f, steel);
}

void ReverseArrow(Canvas& c, float cx, float cy) {
  Rgba w = Hex(0xF4F4F4);
  c.FillShape(cx - 11, cy - 11, cx + 11, cy + 11,
              [=](float x, float y) {
                float dx = x - cx, dy = y - cy;
                float d = std::sqrt(dx * dx + dy * dy);
                float a = std::atan2(dy, dx);
                return d >= 6.0f && d <= 9.0f && !(a > -1.9f && a < -0.9f);
              },
              w);
  c.Polygon({cx - 1, cy - 13, cx - 1, cy - 3, cx - 8, cy - 8}, w);
}

}  // namespace

Canvas BonusCard(Fonts& f, int bonusType) {
  static const uint32_t colours[5] = {0, 0xD35400, 0x2471A3, 0x1E8449, 0x7D3C98};
  Rgba base = Hex(colours[std::clamp(bonusType, 1, 4)]);
  Canvas c = CardBody(base, Shade(base, 0.55f));
  c.FillShape(1, 1, kW - 1, kH - 1, [](float, float) { return true; },
              [&](float, float y) { return Rgba{1, 1, 1, 0.22f * (1.0f - y / float(kH))}; });
  c.StrokeRoundRect(3, 3, kW - 3, kH - 3, 2.0f, 1.0f, Rgba{1, 1, 1, 0.55f});
  float cx = 16, cy = 24;
  switch (bonusType) {
    case 1:
      Scissors(c, cx, cy);
      break;
    case 2:
      ReverseArrow(c, cx, cy);
      break;
    case 3:
      c.FillRoundRect(cx - 7, cy - 9, cx - 2, cy + 9, 1.0f, Hex(0xF4F4F4));
      c.FillRoundRect(cx + 2, cy - 9, cx + 7, cy + 9, 1.0f, Hex(0xF4F4F4));
      break;
    default: {
      std::vector<float> star;
      for (int i = 0; i < 10; ++i) {
        float a = float(i) * 3.14159265f / 5.0f - 3.14159265f / 2.0f;
        float r = (i % 2) ? 4.5f : 11.0f;
        star.push_back(cx + r * std::cos(a));
        star.push_back(cy + r * std::sin(a));
      }
      c.Polygon(star, Hex(0xFFD54F));
      break;
    }
  }
  static const char* labels[5] = {"", "CUT", "BACK", "STOP", "JOKER"};
  f.Sans.DrawCentred(c, labels[std::clamp(bonusType, 1, 4)], 16.0f, 45.0f, bonusType == 4 ? 7 : 8,
                     Hex(0xFFFFFF));
  return c;
}

Canvas QuestCard(Fonts& f) {
  Canvas c = CardBody(Hex(0xF7E7B4), kGold);
  c.StrokeRoundRect(3, 3, kW - 3, kH - 3, 2.0f, 1.0f, Hex(0xB7862A));
  c.FillCircle(16, 23, 11, Hex(0xE0B43C));
  f.Serif.DrawCentred(c, "?", 16.0f, 30.0f, 20, Hex(0x6B3F06));
  f.Sans.DrawCentred(c, "QUEST", 16.0f, 45.0f, 7, Hex(0x6B3F06));
  return c;
}

Canvas CardDress() {
  Canvas c = CardBody(Hex(0x1F3A68), Hex(0x0F1D35));
  c.FillShape(3, 3, kW - 3, kH - 3,
              [](float x, float y) {
                float u = x + y, v = x - y;
                return std::fmod(std::fabs(u), 6.0f) < 1.3f || std::fmod(std::fabs(v) + 60.0f, 6.0f) < 1.3f;
              },
              Hex(0x3C63A3));
  c.StrokeRoundRect(3, 3, kW - 3, kH - 3, 2.0f, 1.0f, Hex(0xC9A64A));
  DrawSuit(c, 2, 16, 25, 10, Hex(0xC9A64A));
  return c;
}

Canvas CardBackPrompt() {
  Canvas c(kW, kH);
  c.FillRoundRect(0, 0, kW, kH, 3.5f, Rgba{1, 1, 1, 0.85f});
  c.FillRoundRect(3, 3, kW - 3, kH - 3, 2.0f, Rgba{1, 1, 1, 0.35f});
  return c;
}

Canvas CardSlot(Fonts& f, const std::string& zone) {
  Canvas c(kW, kH);
  Rgba tint = Hex(0xFFFFFF);
  if (zone == "Red" || zone == "Hearts" || zone == "Diamonds") tint = Hex(0xF2B8B8);
  if (zone == "Black" || zone == "Spades" || zone == "Clubs") tint = Hex(0xB8C4D8);
  if (zone == "Low") tint = Hex(0xBDE3C0);
  if (zone == "High") tint = Hex(0xF1DC9C);
  if (zone == "Castle") tint = Hex(0xC9C2B3);
  c.FillRoundRect(0, 0, kW, kH, 3.5f, Rgba{tint.R, tint.G, tint.B, 0.42f});
  c.StrokeRoundRect(0, 0, kW, kH, 3.5f, 1.2f, Rgba{1, 1, 1, 0.85f});
  c.StrokeRoundRect(3, 3, kW - 3, kH - 3, 2.0f, 0.8f, Rgba{1, 1, 1, 0.35f});
  Rgba mark{1, 1, 1, 0.9f};
  if (zone == "Red") {
    DrawSuit(c, 2, 10, 25, 10, kRed);
    DrawSuit(c, 3, 22, 25, 10, kRed);
  } else if (zone == "Black") {
    DrawSuit(c, 0, 10, 25, 10, kInk);
    DrawSuit(c, 1, 22, 25, 10, kInk);
  } else if (zone == "Spades" || zone == "Clubs" || zone == "Diamonds" || zone == "Hearts") {
    int suit = zone == "Spades" ? 0 : zone == "Clubs" ? 1 : zone == "Diamonds" ? 2 : 3;
    DrawSuit(c, suit, 16, 25, 16, SuitColour(suit));
  } else if (zone == "Low") {
    f.Sans.DrawCentred(c, "2-8", 16, 29, 11, Hex(0x1E5E2A));
  } else if (zone == "High") {
    f.Sans.DrawCentred(c, "8-A", 16, 29, 11, Hex(0x7A5A0C));
  } else if (zone == "Castle") {
    // A little tower: the castle fills as one.
    Rgba stone = Hex(0x6D6558);
    c.FillRect(9, 20, 23, 34, stone);
    for (int i = 0; i < 3; ++i) c.FillRect(9 + float(i) * 5.5f, 16, 12 + float(i) * 5.5f, 20, stone);
    c.FillRoundRect(14, 27, 18, 34, 2, Hex(0x2B2720));
  } else {
    c.FillCircle(16, 25, 3, mark);
  }
  return c;
}

Canvas StreetSlot(bool up) {
  Canvas c(kW, kH);
  c.FillRoundRect(0, 0, kW, kH, 3.5f, Rgba{0.75f, 0.9f, 1.0f, 0.42f});
  c.StrokeRoundRect(0, 0, kW, kH, 3.5f, 1.2f, Rgba{1, 1, 1, 0.85f});
  Rgba arrow = Hex(0x1D4E89);
  float s = up ? 1.0f : -1.0f;
  c.Polygon({16, 25 - 12 * s, 8, 25 - 2 * s, 24, 25 - 2 * s}, arrow);
  c.FillRect(13, std::min(25 - 2 * s, 25 + 11 * s), 19, std::max(25 - 2 * s, 25 + 11 * s), arrow);
  return c;
}

Canvas CardFrameGlow() {
  // 42 x 60: five pixels around the card on every side.
  Canvas c(42, 60);
  c.FillRoundRect(1, 1, 41, 59, 6, Hex(0xFFE28A, 0.9f));
  c.BlurAlpha(2);
  for (int y = 5; y < 55; ++y)
    for (int x = 5; x < 37; ++x) c.Set(x, y, Rgba{1, 0.9f, 0.55f, 0.0f});
  return c;
}

Canvas BonusHalo() {
  Canvas c(52, 70);
  c.FillRoundRect(4, 4, 48, 66, 10, Hex(0xFFF2A8, 0.95f));
  c.BlurAlpha(3, 3);
  return c;
}

Canvas CoverMask() {
  Canvas c(kW, kH);
  c.FillRoundRect(0, 0, kW, kH, 3.5f, Hex(0xFFFFFF));
  return c;
}

Canvas PointShadow() {
  Canvas c(44, 62);
  c.FillRoundRect(6, 6, 38, 56, 4, Hex(0x000000, 0.9f));
  c.BlurAlpha(2, 3);
  return c;
}

Canvas PointMask() {
  Canvas c(48, 66);
  c.FillRoundRect(3, 3, 45, 63, 9, Hex(0xFFFFFF));
  c.BlurAlpha(2, 2);
  return c;
}

Canvas TurnStrip(bool red, bool picture) {
  // Ten frames: the face narrows, the back widens; frame 9 is the back.
  Canvas face = CardBody(kPaper, Hex(0x8C8577));
  Rgba ink = red ? kRed : kInk;
  if (picture) {
    face.FillRoundRect(6, 9, 26, 41, 2.0f, Hex(0xF3DFA2));
    face.StrokeRoundRect(6, 9, 26, 41, 2.0f, 1.0f, kGold);
    DrawSuit(face, red ? 3 : 0, 16, 25, 14, ink);
  } else {
    DrawSuit(face, red ? 2 : 1, 10, 14, 9, ink);
    DrawSuit(face, red ? 2 : 1, 22, 36, 9, ink);
    DrawSuit(face, red ? 2 : 1, 16, 25, 11, ink);
  }
  Canvas back = CardDress();
  Canvas strip(kW * 10, kH);
  for (int i = 0; i < 10; ++i) {
    float a = float(i) / 9.0f * 3.14159265f;
    float k = std::fabs(std::cos(a));
    Canvas frame = (i < 5 ? face : back).Squeezed(std::max(k, 0.06f));
    strip.Draw(frame, i * kW, 0);
  }
  return strip;
}

Canvas BonusCardSlot() {
  Canvas c(kW, kH);
  c.FillRoundRect(0, 0, kW, kH, 3.5f, Hex(0x3A2A12, 0.55f));
  c.StrokeRoundRect(0, 0, kW, kH, 3.5f, 1.2f, Hex(0xE8C15A, 0.95f));
  DrawSuit(c, 3, 16, 25, 10, Hex(0xE8C15A, 0.8f));
  return c;
}

Canvas BonusPlaceBack(int positions) {
  int w = 16 + positions * 40, h = 74;
  Canvas c(w, h);
  c.FillRoundRect(2, 4, float(w), float(h), 9, Hex(0x000000, 0.45f));
  c.BlurAlpha(2);
  c.FillRoundRect(0, 0, float(w - 2), float(h - 4), 8, Hex(0x5B3A1A));
  c.FillShape(0, 0, float(w - 2), float(h - 4), [&](float x, float y) { return x >= 2 && y >= 2 && x < w - 4 && y < h - 6; },
              [&](float x, float y) {
                float n = Fbm(x * 0.15f, y * 0.02f, 77, 3);
                return Mix(Hex(0x7A4E22), Hex(0x9C6A34), n);
              });
  c.StrokeRoundRect(0, 0, float(w - 2), float(h - 4), 8, 2.0f, Hex(0xE0B04A));
  for (int i = 0; i < positions; ++i) {
    float cx = 27.0f + float(i) * 40.0f;
    c.FillRoundRect(cx - 19, 7, cx + 19, 63, 4, Hex(0x2A1A0A, 0.6f));
  }
  return c;
}

}  // namespace contentgen
