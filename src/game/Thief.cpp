#include "game/Thief.h"

#include <cmath>

#include "game/CardBook.h"
#include "game/CardRules.h"

namespace qv {

namespace {

bool ValidIndex(int32_t i, size_t size) { return i >= 0 && static_cast<size_t>(i) < size; }

bool Busy(const TLevel& L, int32_t point) {
  return ValidIndex(point, L.PointsBusy.size()) && L.PointsBusy[static_cast<size_t>(point)] != -1;
}

}  // namespace

TIntegers ThiefVictims(const TGameState& state, int32_t point) {
  const TLevel& L = state.Level;
  TIntegers visited;
  TIntegers items;
  int32_t s = point;
  for (;;) {
    visited.push_back(s);
    if (ValidIndex(s, L.NearPoints.size())) {
      for (int32_t n : L.NearPoints[static_cast<size_t>(s)]) {
        if (Busy(L, n) && !IntInArray(n, visited) && !IntInArray(n, items)) items.push_back(n);
      }
    }
    if (items.size() >= 3) break;
    s = -1;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
      if (!IntInArray(*it, visited)) {
        s = *it;
        break;
      }
    }
    if (s == -1) break;
  }
  return items;
}

void TThief::ThiefStealsCard(int32_t p) {
  TLevel& L = S.Level;
  if (!ValidIndex(p, L.Points.size())) return;
  const int32_t now = Svc.Clock->Now();
  L.ThiefPoints.clear();
  Svc.Sound->PlaySample("StealCard.ogg");
  TGamePoint thief = L.ThiefPos;
  if (ValidIndex(L.ThiefPoint, L.Points.size())) {
    const TGamePoint tp = L.Points[static_cast<size_t>(L.ThiefPoint)];
    thief = {tp.X + 16, tp.Y};
  }
  if (ValidIndex(S.HeldCard, S.Cards.size())) {
    Svc.Effects->StartCardFlyEffect(L.Points[static_cast<size_t>(p)], thief,
                                    CardPicture(S, S.Cards[static_cast<size_t>(S.HeldCard)]), now);
  }
  Svc.Effects->StartPictureEffect(L.ThiefPos, "Vor.png");
  DiscardCard(S, S.HeldCard);

  const TIntegers items = ThiefVictims(S, p);
  const int32_t skill = S.Game.AntiSharper;
  for (size_t i = 0; i < items.size() && i < 3; ++i) {
    const int32_t v = items[i];
    if (IntInArray(v, L.PresetPoints) || !ValidIndex(v, L.Points.size())) continue;
    const int32_t card = L.PointsBusy[static_cast<size_t>(v)];
    if (!ValidIndex(card, S.Cards.size())) continue;
    const TGamePoint at = L.Points[static_cast<size_t>(v)];
    const std::string picture = CardPicture(S, S.Cards[static_cast<size_t>(card)]);
    Svc.Effects->StartCardFlyEffect(at, thief, picture, now);
    const bool saved = skill > 0 && Svc.Random->RandomFloat() <= std::sqrt(10.0 * skill) / 100.0;
    if (saved) {
      Svc.Effects->StartCardFlyEffect(thief, at, picture, now + 300);
      const int32_t width = Svc.Widgets->TextWidth("WUpgrade_LAntiSharper");
      Svc.Effects->ShowScoreEffect(Svc.Widgets->GetCaption("WUpgrade_LAntiSharper"), TGamePoint{at.X + width, at.Y}, -1);
      S.Cards[static_cast<size_t>(card)].ShowTime = now + 600;
    } else {
      DiscardCard(S, card);
    }
  }

  S.HeldCard = -1;
  Svc.Screen->SetOnlyDirtyRect(TRect{0, 0, 800, 600});  // right and bottom are exclusive
  // A card that lost a neighbour is no longer enclosed.
  for (size_t i = 0; i < L.PointsBusy.size() && i < L.NearPoints.size(); ++i) {
    const int32_t c = L.PointsBusy[i];
    if (!ValidIndex(c, S.Cards.size()) || S.Cards[static_cast<size_t>(c)].State != csEnclosed) continue;
    for (int32_t n : L.NearPoints[i]) {
      if (ValidIndex(n, L.PointsBusy.size()) && L.PointsBusy[static_cast<size_t>(n)] == -1) {
        S.Cards[static_cast<size_t>(c)].State = csOpen;
        break;
      }
    }
  }
  Svc.Field->DrawCoverMask();
  TCardRules rules(S, Svc);
  rules.UpdateSuitableCards();
  rules.UpdateTargetPoints();
}

}  // namespace qv
