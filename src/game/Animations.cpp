// The animations timed beside play: the cursor strip, the level pictures and
// the card-turning sweep behind the level-complete window.
#include <algorithm>

#include "foundation/Numeric.h"
#include "game/Belts.h"
#include "game/FieldMath.h"
#include "game/GameEffects.h"
#include "game/GameNames.h"
#include "game/GameUpdate.h"
#include "game/LevelSurfaces.h"

namespace qv {

namespace {
constexpr TRect kWholeScreen{0, 0, 800, 600};
constexpr int32_t kCursorFrames = 30;
constexpr int32_t kSweepLength = 4801;
}  // namespace

void TGameEffects::UpdateCursorBlink(int32_t t) {
  TGame& G = S.Game;
  // After a stall the strip moves on by the frames missed, drawn once.
  if (AdvanceCursor(G.CursorFrame, G.CursorNextTime, t, G.CursorPeriod, kCursorFrames) > 0) {
    const TGamePoint m = S.MousePos;
    Svc.Screen->AddDirtyRect(TRect{m.X, m.Y, m.X + 41, m.Y + CursorHeight - 1});
  }
}

void TGameEffects::UpdatePictureAnimations(int32_t t) {
  for (TLevelPicture& pic : S.Level.Pictures) {
    if (!(pic.NextFrameTime < t) || pic.Images.empty()) continue;
    if (pic.SeparateImages) {
      if (pic.Images.size() < 2) continue;
      pic.Frame = pic.Frame + 1 >= static_cast<int32_t>(pic.Images.size()) || pic.Frame < 0 ? 0 : pic.Frame + 1;
      const size_t f = static_cast<size_t>(pic.Frame);
      pic.NextFrameTime = t + (f < pic.ImageTimes.size() ? pic.ImageTimes[f] : 0);
      int32_t w = 0, h = 0;
      if (Svc.Surfaces->GetSize(pic.Images[f], w, h)) {
        // The images are drawn 5 pixels right and down of the picture's place.
        Svc.Screen->AddDirtyRect(TRect{pic.X + 5, pic.Y + 5, pic.X + 5 + w, pic.Y + 5 + h});
      }
    } else {
      pic.Frame = pic.Frame + 1 >= pic.FramesCount || pic.Frame < 0 ? 0 : pic.Frame + 1;
      pic.NextFrameTime = t + (pic.ImageTimes.empty() ? 0 : pic.ImageTimes[0]);
      Svc.Screen->AddDirtyRect(TRect{pic.X, pic.Y, pic.X + pic.FrameWidth, pic.Y + pic.FrameHeight});
    }
  }
}

void TGameEffects::SweepPoint(int32_t point, int32_t t) {
  TLevel& L = S.Level;
  const int32_t card = L.PointsBusy[static_cast<size_t>(point)];
  TCard& c = S.Cards[static_cast<size_t>(card)];
  const bool back = c.State == csEnclosed;
  const TCardType& type = S.CardTypes[static_cast<size_t>(std::clamp(c.CType, 0, kCardKinds - 1))];
  StartTurn(TurnPicture(type), L.Points[static_cast<size_t>(point)], back);
  c.State = back ? csOpen : csEnclosed;
  c.ShowTime = t + 500;
}

void TGameEffects::UpdateLevelEndSweep(int32_t t) {
  TGameUpdate(S, Svc).UpdateCardFlashes(t);
  TBelts(S, Svc).UpdateBelts(t);

  TLevel& L = S.Level;
  const int32_t points = static_cast<int32_t>(std::min(L.Points.size(), L.PointsBusy.size()));
  auto validCard = [&](int32_t p) {
    const int32_t c = L.PointsBusy[static_cast<size_t>(p)];
    return c >= 0 && c < static_cast<int32_t>(S.Cards.size());
  };

  bool allSwept = static_cast<int32_t>(L.SweepPoints.size()) >= points;
  bool cardsShowing = false;
  for (int32_t p = 0; p < points; ++p) {
    if (validCard(p) && S.Cards[static_cast<size_t>(L.PointsBusy[static_cast<size_t>(p)])].ShowTime > t) {
      cardsShowing = true;
    }
  }
  if (static_cast<int64_t>(t) - L.SweepStart >= kSweepLength || (allSwept && !cardsShowing)) {
    L.SweepStart = t;
    for (size_t i = 1; i < S.Cards.size(); ++i) S.Cards[i].State = S.Cards[0].State;
    Field.DrawCoverMask();
    Svc.Screen->SetOnlyDirtyRect(kWholeScreen);
    L.SweepPoints.clear();
    L.SweepPattern = Svc.Random->Random(9) + 1;
    allSwept = points == 0;
  }

  const int32_t q = static_cast<int32_t>(Div(static_cast<int32_t>(std::clamp<int64_t>(int64_t(t) - L.SweepStart, 0, INT32_MAX)), 3));
  int32_t randomPoint = -1;
  if (L.SweepPattern == 9 && static_cast<int32_t>(L.SweepPoints.size()) < Div(q, 10) && !allSwept) {
    TIntegers open;
    for (int32_t p = 0; p < points; ++p) {
      if (!IntInArray(p, L.SweepPoints)) open.push_back(p);
    }
    if (!open.empty()) randomPoint = open[static_cast<size_t>(Svc.Random->Random(static_cast<int32_t>(open.size())))];
  }

  for (int32_t p = 0; p < points; ++p) {
    if (IntInArray(p, L.SweepPoints)) continue;
    const TGamePoint at = L.Points[static_cast<size_t>(p)];
    const bool selected = L.SweepPattern == 9 ? p == randomPoint : SweepSelects(L.SweepPattern, at.X, at.Y, q);
    if (!selected) continue;
    L.SweepPoints.push_back(p);
    if (!validCard(p)) break;
    SweepPoint(p, t);
  }

  Field.DrawCoverMaskBefore(t);
}

}  // namespace qv
