#include "game/FieldDrawing.h"

#include <algorithm>
#include <cmath>

#include "effects/QelFXParticles.h"
#include "foundation/Numeric.h"
#include "game/BeltPath.h"
#include "game/CardRules.h"
#include "game/FieldMath.h"

namespace qv {

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kYellow = 0x00FFFF;
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kRed = 0x0000FF;

uint8_t Byte(int64_t v) { return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255)); }

void Plain(IFieldCanvas& c, std::string_view source, std::string_view target, int32_t x, int32_t y) {
  c.Draw(source, target, x, y, 255, nullptr, 0, 0);
}

bool Shown(const TCard& c, int32_t now) { return c.ShowTime < 0 || c.ShowTime < now; }

// Grows r to hold (l, t, r, b); r.Left kNoBox means empty.
void Grow(TRect& box, int32_t l, int32_t t, int32_t r, int32_t b) {
  if (box.Left == kNoBox) {
    box = TRect{l, t, r, b};
    return;
  }
  box.Left = std::min(box.Left, l);
  box.Top = std::min(box.Top, t);
  box.Right = std::max(box.Right, r);
  box.Bottom = std::max(box.Bottom, b);
}

}  // namespace

void TFieldDrawing::BeginPass(int32_t now, int32_t prevFrameTime) {
  Now = now;
  PrevTime = prevFrameTime;
  BeltRects.clear();
}

void TFieldDrawing::DrawPlayField(std::string_view target) {
  Plain(C, "Background", target, 0, 0);
  DrawWallPoints(target);
  DrawTargetPrompt(target);
  DrawMapCards(target);
  DrawCastleOutlines(target);
  DrawWalls(target);
  Plain(C, "Cover", target, 0, 0);
  DrawBonusPlaceCards(target);
  DrawBonusPlacePrompt(target);
  DrawBelts(target);
  DrawThiefAndSharper(target);
  DrawLevelPictures(target);
  DrawEffects(target);
}

void TFieldDrawing::DrawLostField(std::string_view target) {
  Plain(C, "Background", target, 0, 0);
  DrawMapCards(target);
  DrawCastleOutlines(target);
  DrawWalls(target);
  Plain(C, "Cover", target, 0, 0);
  DrawBonusPlaceCards(target);
  DrawBelts(target);
  DrawEffects(target);
  DrawLevelPictures(target);
}

void TFieldDrawing::DrawFrozenField(std::string_view target, bool beltsAndEffects) {
  Plain(C, "Background", target, 0, 0);
  DrawMapCards(target);
  DrawCastleOutlines(target);
  DrawWalls(target);
  Plain(C, "Cover", target, 0, 0);
  DrawBonusPlaceCards(target);
  if (beltsAndEffects) {
    DrawBelts(target);
    DrawEffects(target);
  }
  DrawLevelPictures(target);
}

void TFieldDrawing::DrawPointMark(std::string_view target, int32_t point, uint32_t color, uint8_t weight) {
  const TLevel& L = S.Level;
  if (point < 0 || point >= static_cast<int32_t>(L.Points.size())) return;
  const size_t i = static_cast<size_t>(point);
  const uint8_t street = i < L.StreetTypes.size() ? L.StreetTypes[i] : uint8_t{stNone};
  std::string mark;
  if (street == stUp) {
    mark = "CardBackStrUp.png";
  } else if (street == stDown) {
    mark = "CardBackStrDown.png";
  } else if (i < L.PointZone.size() && L.PointZone[i] >= 0 && L.PointZone[i] < static_cast<int32_t>(L.Zones.size())) {
    mark = L.Zones[static_cast<size_t>(L.PointZone[i])].Picture;
  }
  if (mark.empty()) return;
  C.Draw(mark, target, L.Points[i].X - 16, L.Points[i].Y - 25, 255, nullptr, color, weight);
}

void TFieldDrawing::DrawWallPoints(std::string_view target) {
  for (const TWall& wall : S.Level.Walls) {
    for (int32_t p : wall.WallOut) DrawPointMark(target, p, kBlue, 200);
  }
}

void TFieldDrawing::DrawPrompt(std::string_view target, const TPoints& points, uint32_t color) {
  const uint8_t weight = Byte(PromptWeight(Now, S.Game.TakeTime, S.Level.TimePrompt));
  for (const TGamePoint& p : points) {
    Dirty(TRect{p.X - 16, p.Y - 25, p.X + 16, p.Y + 25});
    C.Draw("CardBack.png", target, p.X - 16, p.Y - 25, 255, nullptr, color, weight);
  }
}

void TFieldDrawing::DrawTargetPrompt(std::string_view target) {
  TGame& G = S.Game;
  if (!G.PromptShown || S.HeldCard == -1) return;
  if (static_cast<int64_t>(Now) > static_cast<int64_t>(G.TakeTime) + S.Level.TimePrompt + 1200) {
    G.TakeTime = Now + 1000;
    G.PromptShown = false;
    return;
  }
  TPoints points;
  for (int32_t p : S.TargetPoints) {
    if (p >= 0 && p < static_cast<int32_t>(S.Level.Points.size())) points.push_back(S.Level.Points[static_cast<size_t>(p)]);
  }
  DrawPrompt(target, points, kYellow);
}

void TFieldDrawing::DrawBonusPlacePrompt(std::string_view target) {
  const TGame& G = S.Game;
  if (!G.PromptShown || S.HeldCard == -1) return;
  if (static_cast<int64_t>(Now) > static_cast<int64_t>(G.TakeTime) + S.Level.TimePrompt + 1200) return;
  DrawPrompt(target, S.BonusTargets, kBlue);
}

void TFieldDrawing::DrawMapCards(std::string_view target) {
  const TLevel& L = S.Level;
  for (size_t i = 0; i < L.PointsBusy.size(); ++i) {
    const int32_t card = L.PointsBusy[i];
    if (card < 0 || card >= static_cast<int32_t>(S.Cards.size())) continue;
    const TCard& c = S.Cards[static_cast<size_t>(card)];
    if (!Shown(c, Now)) continue;
    if (c.State == csOpen) {
      const int32_t w = FlashWeight(Now, c.FlashStart, c.FlashEnd, c.FlashCount, c.FlashAmplitude);
      C.Draw(CardPicture(S, c), target, c.X, c.Y, 255, nullptr, kYellow, Byte(w));
      if (w != 0) Dirty(TRect{c.X, c.Y, c.X + 32, c.Y + 54});
    } else if (c.State == csEnclosed) {
      Plain(C, "CardDress.png", target, c.X, c.Y);
    }
  }
}

void TFieldDrawing::DrawCastleOutlines(std::string_view target) {
  for (const TZoneType& zone : S.Level.Zones) {
    const bool flashing = zone.FlashEnd >= 0 && Now < zone.FlashEnd;
    if (!zone.Wall && !flashing) continue;
    const int32_t w = FlashWeight(Now, zone.FlashStart, zone.FlashEnd, zone.FlashCount, zone.FlashAmplitude);
    TRect box{kNoBox, 0, 0, 0};
    auto draw = [&](std::string_view picture, int32_t x, int32_t y) {
      C.Draw(picture, target, x, y, 255, nullptr, kWhite, Byte(w));
      int32_t pw = 0, ph = 0;
      if (C.GetSize(picture, pw, ph)) Grow(box, x, y, x + pw, y + ph);
    };
    for (const TGamePoint& p : zone.VerticalEdges) draw("VCardLine.png", p.X - 3, p.Y - 1);
    for (const TGamePoint& p : zone.HorizontalEdges) draw("HCardLine.png", p.X, p.Y - 4);
    for (const TGamePoint& p : zone.CornerDots) draw("CardPoint.png", p.X - 5, p.Y - 6);
    if (w != 0 && box.Left != kNoBox) Dirty(box);
  }
}

void TFieldDrawing::DrawWalls(std::string_view target) {
  for (const TWall& wall : S.Level.Walls) {
    if (!wall.Crashed) Plain(C, wall.Picture, target, wall.X, wall.Y);
  }
}

void TFieldDrawing::DrawBonusPlaceCards(std::string_view target) {
  const TLevel& L = S.Level;
  if (L.BonusPlaceType < 0 || L.BonusPlaceType >= static_cast<int32_t>(S.BonusPlaceTypes.size())) return;
  const TBonusPlaceType& bp = S.BonusPlaceTypes[static_cast<size_t>(L.BonusPlaceType)];
  for (size_t i = 0; i < L.BPPointsBusy.size() && i < bp.Points.size(); ++i) {
    const int32_t card = L.BPPointsBusy[i];
    if (card < 0 || card >= static_cast<int32_t>(S.Cards.size())) continue;
    const TCard& c = S.Cards[static_cast<size_t>(card)];
    if (!Shown(c, Now)) continue;
    Plain(C, CardPicture(S, c), target, bp.Points[i].X + L.BonusPlaceX - 16, bp.Points[i].Y + L.BonusPlaceY - 25);
  }
}

void TFieldDrawing::DrawBelts(std::string_view target) {
  const TLevel& L = S.Level;
  const TGame& G = S.Game;
  const TGamePoint frame = S.FrameOffset;
  for (TFishkaLenta& belt : S.Level.Belts) {
    const bool warning = !belt.Cards.empty() &&
                         static_cast<int64_t>(Now) - belt.Cards[0].BornTime > static_cast<int64_t>(belt.PathTime) - 3000;
    const bool tinted = warning && G.Mode != dmNoLose && G.GameMode != gmLost;
    const uint8_t weight = tinted ? Byte(WarningWeight(Now)) : 0;
    const int32_t n = belt.PointStep;
    if (n > 0 && belt.Path) {
      const int32_t step = Div(belt.PathTime, n);
      const int32_t hw = Div(belt.PartWidth, 2) - 5;
      const int32_t hh = Div(belt.PartHeight, 2) - 5;
      for (int32_t k = 0; k <= n; ++k) {
        double x = 0, y = 0, px = 0, py = 0;
        const int64_t off = static_cast<int64_t>(k) * step;
        BeltPathPoint(belt, static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(Now) + off - L.BeltPhase)), x, y);
        BeltPathPoint(belt, static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(PrevTime) + off - L.PrevBeltPhase)),
                      px, py);
        const int32_t left = Round(x) - hw, top = Round(y) - hh;
        const int32_t pleft = Round(px) - hw, ptop = Round(py) - hh;
        C.Draw(belt.PartImage, target, left, top, 255, nullptr, kRed, weight);
        BeltRects.push_back(TRect{std::min(left, pleft), std::min(top, ptop),
                                  std::max(left, pleft) + belt.PartWidth, std::max(top, ptop) + belt.PartHeight});
      }
    }
    for (TCard& c : belt.Cards) {
      if (!(c.BornTime < 0 || c.BornTime < Now) || !Shown(c, Now)) continue;
      uint8_t alpha = c.Alpha;
      bool framed = false;
      std::string picture;
      switch (c.BonusType) {
        case btCrop: picture = "CardCrop.png"; break;
        case btReverse: picture = "CardReverce.png"; break;
        case btPause: picture = "CardPause.png"; break;
        case btJoker: picture = "joker.png"; break;
        default:
          if (c.QuestCard) {
            picture = "CardQuest.png";
          } else {
            picture = S.CardTypes[static_cast<size_t>(std::clamp(c.CType, 0, kCardKinds - 1))].Picture;
            framed = G.Mode != dmHard && c.CType >= 0 && c.CType < kCardKinds &&
                     S.SuitableKinds.test(static_cast<size_t>(c.CType));
          }
          break;
      }
      if (framed) {
        C.Draw("CardFrame.png", target, c.X - frame.X, c.Y - frame.Y, alpha, nullptr, 0, 0);
        c.DrawnRect = TRect{c.X - frame.X, c.Y - frame.Y, c.X + frame.X + 34, c.Y + frame.Y + 52};
      } else {
        if (G.Mode != dmHard) alpha = std::min<uint8_t>(alpha, 200);
        c.DrawnRect = TRect{c.X, c.Y, c.X + 34, c.Y + 52};
      }
      C.Draw(picture, target, c.X, c.Y, alpha, nullptr, 0, 0);
    }
  }
}

void TFieldDrawing::DrawThiefAndSharper(std::string_view target) {
  const TLevel& L = S.Level;
  if (!L.ThiefPoints.empty()) Plain(C, "Vor.png", target, L.ThiefPos.X, L.ThiefPos.Y);
  if (L.SharperPoint == -1) return;
  int32_t w = 0, h = 0;
  C.GetSize("Shuller.png", w, h);
  const int64_t moved = static_cast<int64_t>(L.SharperTime) - S.Params.SharperDelay;
  int32_t x = L.SharperPos.X, y = L.SharperPos.Y;
  if (Now >= moved + 1000) {
    Plain(C, "Shuller.png", target, x, y);
    if (Now < moved + 1100) Dirty(TRect{x - 10, y - 10, x + w + 10, y + h + 10});
    return;
  }
  const double f = 1.0 - static_cast<double>(moved + 1000 - Now) / 1000.0;
  x = L.SharperFrom.X + Round(f * (L.SharperPos.X - L.SharperFrom.X));
  y = L.SharperFrom.Y + Round(f * (L.SharperPos.Y - L.SharperFrom.Y));
  Plain(C, "Shuller.png", target, x, y);
  Dirty(TRect{x - 10, y - 10, x + w + 10, y + h + 10});
}

void TFieldDrawing::DrawLevelPictures(std::string_view target) {
  for (const TLevelPicture& pic : S.Level.Pictures) {
    if (!pic.Visible || pic.Images.empty()) continue;
    const int32_t w = FlashWeight(Now, pic.FlashStart, pic.FlashEnd, pic.FlashCount, pic.FlashAmplitude);
    TRect drawn{};
    if (pic.SeparateImages) {
      const size_t f = static_cast<size_t>(std::clamp<int32_t>(pic.Frame, 0, static_cast<int32_t>(pic.Images.size()) - 1));
      int32_t iw = 0, ih = 0;
      if (!C.GetSize(pic.Images[f], iw, ih)) continue;
      C.Draw(pic.Images[f], target, pic.X + 5, pic.Y + 5, 255, nullptr, kWhite, Byte(w));
      drawn = TRect{pic.X + 5, pic.Y + 5, pic.X + 5 + iw, pic.Y + 5 + ih};
    } else {
      if (pic.FramesPerLine <= 0 || pic.FramesCount <= 0 || pic.FrameWidth <= 0 || pic.FrameHeight <= 0) continue;
      const int32_t frame = std::clamp(pic.Frame, 0, pic.FramesCount - 1);
      const int32_t col = Mod(frame, pic.FramesPerLine), row = Div(frame, pic.FramesPerLine);
      const TRect cell{col * pic.FrameWidth, row * pic.FrameHeight, col * pic.FrameWidth + pic.FrameWidth - 1,
                       row * pic.FrameHeight + pic.FrameHeight - 1};
      C.Draw(pic.Images[0], target, pic.X, pic.Y, 255, &cell, kWhite, Byte(w));
      drawn = TRect{pic.X, pic.Y, pic.X + pic.FrameWidth, pic.Y + pic.FrameHeight};
    }
    if (w != 0) Dirty(drawn);
  }
}

void TFieldDrawing::DrawClipped(std::string_view picture, std::string_view target, const TRect* sourceRect,
                                uint8_t weight, uint32_t color, uint8_t alpha, const TRect& clip, int32_t width,
                                int32_t height, int32_t x, int32_t y) {
  TClippedDraw d;
  if (!ClipDraw(sourceRect, width, height, clip, x, y, d)) return;
  C.Draw(picture, target, d.X, d.Y, alpha, &d.Source, color, weight);
}

void TFieldDrawing::DrawEffects(std::string_view target) {
  TRect box{kNoBox, 0, 0, 0};
  for (const TPartEffect& e : S.Effects) {
    if (!e.Effect || !(static_cast<int32_t>(e.Effect->StartTime) < Now)) continue;
    int32_t w = 0, h = 0, hw = 0, hh = 0;
    if (e.IsText) {
      hw = Host.TextWidth(e.Picture);
      hh = Host.TextHeight();
    } else {
      if (!C.GetSize(e.Picture, w, h)) continue;
      hh = Div(h, 2);
      hw = e.Kind < 2 ? Div(w, 2) : Div(Div(w, e.Kind), 2);
    }
    e.Effect->ForEachParticle([&](const fx::TQelParticleSystem&, const fx::TQelParticle& p) {
      const fx::TVector3 pos = p.Position();
      const int32_t x = static_cast<int32_t>(std::clamp<int64_t>(Round64(pos.x) + e.X - hw, -1000000, 1000000));
      const int32_t y = static_cast<int32_t>(std::clamp<int64_t>(Round64(pos.y) + e.Y - hh, -1000000, 1000000));
      const uint8_t alpha = Byte(Round64(static_cast<double>(p.Alpha()) * 255.0));
      const fx::TVector3 rgb = p.Color();
      auto channel = [](float v) -> uint32_t {
        return std::isnan(v) ? 0u : static_cast<uint32_t>(Byte(static_cast<int64_t>(std::clamp(v, -1.0f, 256.0f))));
      };
      const uint32_t color = channel(rgb.x) | (channel(rgb.y) << 8) | (channel(rgb.z) << 16);
      const float cv = p.ColorValue();
      const uint8_t weight = cv != 0.0f ? std::max<uint8_t>(Byte(Round64((1.0 - cv) * 255.0)), 1) : 0;
      if (e.IsText) {
        Host.TextOut(target, e.Picture, x, y, alpha, color);
      } else if (e.Kind < 2) {
        DrawClipped(e.Picture, target, nullptr, weight, color, alpha, e.Clip, w, h, x, y);
      } else {
        const int32_t cw = Div(w, e.Kind);
        const int32_t frame = std::clamp(p.Frame(), 0, e.Kind - 1);
        const TRect cell{frame * cw, 0, frame * cw + cw - 1, h - 1};
        DrawClipped(e.Picture, target, &cell, weight, color, alpha, e.Clip, w, h, x, y);
      }
      Grow(box, x, y, x + 2 * hw, y + 2 * hh);
    });
  }
  const TRect dirty = JoinEffectsBox(box, S.EffectsRect);
  if (dirty.Right > dirty.Left) Dirty(dirty);
}

}  // namespace qv
