#include "game/Scoring.h"

#include <cstdlib>

#include "foundation/Numeric.h"

namespace qv {

namespace {

constexpr int kAce = 12;

bool ValidIndex(int32_t i, size_t size) { return i >= 0 && static_cast<size_t>(i) < size; }

}  // namespace

int32_t RoundRatio(int64_t num, int64_t den) {
  int64_t q = num / den;
  int64_t r = num % den;
  if (r < 0) {
    --q;
    r += den;
  }
  if (2 * r > den || (2 * r == den && (q & 1) != 0)) ++q;
  return static_cast<int32_t>(q);
}

int32_t CardPoints(int32_t mode, int32_t economy) {
  if (mode == dmNoLose) return 0;
  if (mode == dmHard) return RoundRatio(int64_t{economy} * 36, 100) + 12;
  return RoundRatio(int64_t{economy} * 3, 10) + 10;
}

int32_t QuestPoints(int32_t mode, int32_t economy) {
  if (mode == dmNoLose) return 0;
  const int32_t q = RoundRatio(int64_t{economy} * 75, 100) + 25;
  return mode == dmHard ? RoundRatio(int64_t{q} * 12, 10) : q;
}

int32_t BonusPlacePoints(int32_t mode, int32_t economy) {
  if (mode == dmNoLose) return 0;
  const int64_t b = mode == dmHard ? 12 : 10;
  return RoundRatio(int64_t{economy} * 3 * b, 100) + 10;
}

TCard* TScoring::CardOn(int32_t point) {
  if (!ValidIndex(point, S.Level.PointsBusy.size())) return nullptr;
  const int32_t c = S.Level.PointsBusy[static_cast<size_t>(point)];
  return ValidIndex(c, S.Cards.size()) ? &S.Cards[static_cast<size_t>(c)] : nullptr;
}

const TCard* TScoring::CardOn(int32_t point) const { return const_cast<TScoring*>(this)->CardOn(point); }

bool TScoring::AnyNeighbourFree(int32_t point) const {
  const TLevel& L = S.Level;
  if (!ValidIndex(point, L.NearPoints.size())) return false;
  for (int32_t n : L.NearPoints[static_cast<size_t>(point)]) {
    if (ValidIndex(n, L.PointsBusy.size()) && L.PointsBusy[static_cast<size_t>(n)] == -1) return true;
  }
  return false;
}

void TScoring::UpdateScoreLabel() {
  Svc.Widgets->SetCaption("WGame_LScoreCount", IntToStr(S.Game.TotalScore));
}

void TScoring::AddCardScore(int32_t card) {
  TGame& G = S.Game;
  if (G.Mode == dmNoLose || !ValidIndex(card, S.Cards.size())) return;
  G.TotalScore += CardPoints(G.Mode, G.Economy);
  const TCard& c = S.Cards[static_cast<size_t>(card)];
  if (c.QuestCard) {
    const int32_t q = QuestPoints(G.Mode, G.Economy);
    G.TotalScore += q;
    Svc.Effects->ShowScoreEffect(IntToStr(q), TGamePoint{c.X + 30, c.Y + 45}, -1);
  }
  UpdateScoreLabel();
}

void TScoring::StartTurn(int32_t point, TCard& card) {
  const TCardType& type = S.CardTypes[static_cast<size_t>(ValidIndex(card.CType, kCardKinds) ? card.CType : 0)];
  Svc.Effects->StartCardTurnEffect(TurnPicture(type), S.Level.Points[static_cast<size_t>(point)]);
  card.ShowTime = Now() + 500;
}

void TScoring::StartCardTurnEffect(int32_t p) {
  TLevel& L = S.Level;
  TCard* put = CardOn(p);
  if (put == nullptr || !ValidIndex(p, L.NearPoints.size()) || !ValidIndex(p, L.Points.size())) return;
  bool turned = false;
  put->State = csEnclosed;
  for (int32_t n : L.NearPoints[static_cast<size_t>(p)]) {
    TCard* near = CardOn(n);
    if (near == nullptr) {
      put->State = csOpen;
      continue;
    }
    near->State = AnyNeighbourFree(n) ? csOpen : csEnclosed;
    if (near->State == csEnclosed && ValidIndex(n, L.Points.size())) {
      StartTurn(n, *near);
      turned = true;
    }
  }
  if (put->State == csEnclosed) {
    StartTurn(p, *put);
    turned = true;
  }
  if (turned) Svc.Sound->PlaySample(FlipCardSample(Svc.Random->Random(kFlipCardTakes) + 1));
}

void TScoring::CheckWallCrash(int32_t p) {
  TGame& G = S.Game;
  // Every wall the put completes falls: a wall left standing would keep its
  // inner points closed and the level could never be finished.
  for (TWall& wall : S.Level.Walls) {
    if (wall.Crashed || !IntInArray(p, wall.WallOut)) continue;
    bool full = true;
    for (int32_t q : wall.WallOut) {
      if (!ValidIndex(q, S.Level.PointsBusy.size()) || S.Level.PointsBusy[static_cast<size_t>(q)] == -1) full = false;
    }
    if (!full) continue;
    TGamePoint origin{0, 0};
    int32_t w = 0, h = 0;
    if (Svc.Surfaces->Exists(wall.Picture) && Svc.Surfaces->GetSize(wall.Picture, w, h)) {
      origin = {wall.X + Div(w, 2), wall.Y + Div(h, 2)};
    }
    Svc.Effects->StartWallCrashEffect(WallCrashPicture(wall.Picture), origin);
    if (G.Mode != dmNoLose) {
      G.TotalScore += 50;
      Svc.Effects->ShowScoreEffect("50", origin, -1);
    }
    wall.WallIn.clear();
    wall.WallOut.clear();
    wall.Crashed = true;
    Svc.Sound->PlaySample("WallDone.ogg");
  }
}

void TScoring::CheckCastle(int32_t p) {
  TLevel& L = S.Level;
  if (!ValidIndex(p, L.PointZone.size())) return;
  const int32_t z = L.PointZone[static_cast<size_t>(p)];
  if (!ValidIndex(z, L.Zones.size())) return;
  TZoneType& zone = L.Zones[static_cast<size_t>(z)];
  if (!zone.Wall) return;
  bool allFree = true, allBusy = true;
  for (size_t i = 0; i < L.PointZone.size() && i < L.PointsBusy.size(); ++i) {
    if (static_cast<int32_t>(i) == p || L.PointZone[i] != z) continue;
    if (L.PointsBusy[i] == -1) {
      allBusy = false;
    } else {
      allFree = false;
    }
  }
  const int32_t now = Now();
  if (allFree) {
    zone.FlashStart = now;
    zone.FlashEnd = now + 800;
    zone.FlashCount = 2;
    zone.FlashAmplitude = 200;
    Svc.Sound->PlaySample("PutToCastle.ogg");
  }
  if (allBusy) {
    zone.Wall = false;
    zone.FlashStart = now;
    zone.FlashEnd = now + 2000;
    zone.FlashCount = 4;
    zone.FlashAmplitude = 200;
    S.Game.FullRedrawTime = now + 2050;
    Svc.Sound->PlaySample("CastleDone.ogg");
  }
}

void TScoring::WalkStreet(int32_t from, bool alongX, bool forward, bool up, TIntegers& run) const {
  const TLevel& L = S.Level;
  int32_t a = from;
  // Each step moves strictly one way along its axis, so the walk ends.
  while (ValidIndex(a, L.NearPoints.size()) && ValidIndex(a, L.Points.size())) {
    const TGamePoint pa = L.Points[static_cast<size_t>(a)];
    int32_t b = -1;
    for (int32_t n : L.NearPoints[static_cast<size_t>(a)]) {
      if (!ValidIndex(n, L.Points.size())) continue;
      const TGamePoint pb = L.Points[static_cast<size_t>(n)];
      const int32_t along = alongX ? pb.X - pa.X : pb.Y - pa.Y;
      const int32_t across = alongX ? pb.Y - pa.Y : pb.X - pa.X;
      if ((forward ? along > 0 : along < 0) && std::abs(across) < 10) {
        b = n;
        break;
      }
    }
    const TCard* ca = CardOn(a);
    const TCard* cb = CardOn(b);
    if (ca == nullptr || cb == nullptr || cb->State != csOpen) return;
    if (!ValidIndex(ca->CType, kCardKinds) || !ValidIndex(cb->CType, kCardKinds)) return;
    const int ra = S.CardTypes[static_cast<size_t>(ca->CType)].Rank;
    const int rb = S.CardTypes[static_cast<size_t>(cb->CType)].Rank;
    const bool inOrder = up ? (rb == ra + 1 || (ra == kAce && rb == 0)) : (rb == ra - 1 || (ra == 0 && rb == kAce));
    if (!inOrder) return;
    run.push_back(b);
    a = b;
  }
}

void TScoring::CheckStreets(int32_t p) {
  // Two walks from the point make one run: (axis, first walk forward, first
  // walk's rank order up); the second walk goes backward the other way.
  struct RunKind {
    bool AlongX;
    bool Up;
  };
  constexpr RunKind kRuns[4] = {{true, true}, {true, false}, {false, true}, {false, false}};
  for (const RunKind& k : kRuns) {
    TIntegers run{p};
    WalkStreet(p, k.AlongX, true, k.Up, run);
    WalkStreet(p, k.AlongX, false, !k.Up, run);
    if (run.size() >= static_cast<size_t>(kShortestStreet)) AddStreetScore(run);
  }
}

void TScoring::AddStreetScore(const TIntegers& run) {
  TGame& G = S.Game;
  const int32_t n = static_cast<int32_t>(run.size());
  const int32_t points = 5 * n - 10;
  const int32_t now = Now();
  for (int32_t i = 0; i < n; ++i) {
    const int32_t pt = run[static_cast<size_t>(i)];
    if (G.Mode != dmNoLose && ValidIndex(pt, S.Level.Points.size())) {
      G.TotalScore += points;
      Svc.Effects->ShowScoreEffect(IntToStr(points), S.Level.Points[static_cast<size_t>(pt)], now + 100 * i);
    }
    if (TCard* c = CardOn(pt)) {
      c->FlashStart = now;
      c->FlashEnd = now + 400;
      c->FlashCount = 1;
      c->FlashAmplitude = 200;
    }
    G.FullRedrawTime = now + 450;
  }
  Svc.Sound->PlaySample(StreetSample(n));
}

}  // namespace qv
