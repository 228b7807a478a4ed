#include "game/Belts.h"

#include <algorithm>

#include "foundation/Numeric.h"
#include "game/BeltPath.h"
#include "game/CardBook.h"
#include "game/CardRules.h"

namespace qv {

namespace {

bool PauseRuns(const TFishkaLenta& b, int32_t t) { return b.PauseEnd >= t; }
bool ReverseRuns(const TFishkaLenta& b, int32_t t) { return b.ReverseEnd >= t; }
bool NoPhase(const TFishkaLenta& b, int32_t t) { return b.ReverseEnd < t && b.PauseEnd < t; }

// 0 when the card is new, 255 in the middle of the path, fading out over the
// last second before the end.
uint8_t BeltAlpha(int64_t age, int64_t pathTime) {
  int64_t v;
  if (age < 1000) {
    v = age * 255 / 1000;
  } else {
    const int64_t rest = pathTime - age;
    v = rest >= 1000 ? 255 : rest * 255 / 1000;
  }
  return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
}

int32_t Shift(int32_t delta, double speed) { return Round(static_cast<double>(delta) * speed); }

}  // namespace

bool TBelts::BeltSettled(int32_t belt) const {
  if (belt < 0 || belt >= static_cast<int32_t>(S.Level.Belts.size())) return true;
  for (const TCard& c : S.Level.Belts[static_cast<size_t>(belt)].Cards) {
    if (c.Acceleration != 0) return false;
  }
  return true;
}

double TBelts::SpeedFactor(TFishkaLenta& belt, int32_t t) {
  const bool hasCards = !belt.Cards.empty();
  const bool hard = S.Game.Mode == dmHard;
  if (S.Level.LevComplete) {
    belt.ReverseEnd = -1;
    return hasCards ? -6.0 : 2.0;
  }
  if (!hasCards || S.Game.GameMode == gmLost) {
    belt.ReverseEnd = -1;
    return 10.0;
  }
  const double L = belt.PathTime;
  const double start = S.Level.StartPhase * L;
  const double end = S.Level.EndPhase * L;
  const double d = static_cast<double>(static_cast<int64_t>(t) - belt.Cards[0].BornTime);
  if (!S.Game.IntroFlags[0] && d >= start && S.Game.CurLevel == kIntroLevel) {
    // The tutorial holds the first card until it is taken.
    if (!Svc.Widgets->IsGameHintVisible(1)) {
      Svc.Widgets->ShowGameHint(1, belt.Cards[0].X + 15, belt.Cards[0].Y - 5, 3);
    }
    return -1.0;
  }
  if (Svc.Widgets->IsGameHintVisible(2)) return -1.0;
  if (NoPhase(belt, t)) {
    if (d < start) return 10.0 * (start - d) / start + (hard ? 0.3 : 0.0);
    if (d < end) return hard ? 0.3 : 0.0;
    // Hard mode never slows down: the factor stays what it was.
    if (hard) return belt.CurSpeed;
    return -0.6 * (d - end) / (L - end);
  }
  if (PauseRuns(belt, t)) {
    const double since = static_cast<double>(static_cast<int64_t>(t) - belt.PauseStart);
    const double left = static_cast<double>(static_cast<int64_t>(belt.PauseEnd) - t);
    if (since < 500) return -since / 500.0;
    if (left < 500) return -left / 500.0;
    return -1.0;
  }
  const double since = static_cast<double>(static_cast<int64_t>(t) - belt.ReverseStart);
  const double left = static_cast<double>(static_cast<int64_t>(belt.ReverseEnd) - t);
  if (since < 500) return -1.0 - 5.0 * since / 500.0;
  if (left < 500) return -6.0 * left / 500.0;
  return -6.0;
}

void TBelts::MarkDirty(const TCard& card, int32_t oldX, int32_t oldY, bool lost) {
  int32_t pw = 0, ph = 0;
  if (!Svc.Surfaces->GetSize(CardPicture(S, card), pw, ph)) return;
  const int32_t fx = S.FrameOffset.X;
  const int32_t fy = S.FrameOffset.Y;
  const bool framed = card.CType >= 0 && card.CType < kCardKinds && S.SuitableKinds.test(static_cast<size_t>(card.CType));
  TRect r;
  if (!lost) {
    r = TRect{std::min(card.X, card.DrawnRect.Left), std::min(card.Y, card.DrawnRect.Top),
              std::max(card.X + pw, card.DrawnRect.Right), std::max(card.Y + ph, card.DrawnRect.Bottom)};
    if (framed) {
      r.Left = std::min(r.Left, card.X - fx);
      r.Top = std::min(r.Top, card.Y - fy);
      r.Right = std::max(r.Right, card.X + fx + 32);
      r.Bottom = std::max(r.Bottom, card.Y + fy + 54);
    }
  } else {
    r = TRect{std::min(card.X, oldX), std::min(card.Y, oldY), std::max(card.X, oldX) + pw, std::max(card.Y, oldY) + ph};
    if (framed) {
      r.Left -= fx;
      r.Top -= fy;
      r.Right = std::max(r.Right, card.X + fx + 34);
      r.Bottom = std::max(r.Bottom, card.Y + fy + 52);
    }
  }
  Svc.Screen->AddDirtyRect(r);
}

void TBelts::RemoveMarked(int32_t beltIndex, TIntegers& marked) {
  // From the highest index down, so that removing one card never shifts
  // another marked card out of its place.
  std::sort(marked.begin(), marked.end(), std::greater<int32_t>());
  marked.erase(std::unique(marked.begin(), marked.end()), marked.end());
  for (int32_t i : marked) RemoveBeltCard(S, *Svc.Screen, beltIndex, i);
}

bool TBelts::UpdateOneBelt(int32_t beltIndex, int32_t t) {
  TFishkaLenta& belt = S.Level.Belts[static_cast<size_t>(beltIndex)];
  belt.CurSpeed = SpeedFactor(belt, t);
  const int32_t shift = Shift(S.FrameDelta, belt.CurSpeed);
  TIntegers marked;
  const bool reverse = ReverseRuns(belt, t);
  for (size_t i = 0; i < belt.Cards.size(); ++i) {
    TCard& c = belt.Cards[i];
    c.BornTime -= shift;
    // Run back past the belt start.
    if (reverse && static_cast<int64_t>(c.BornTime) > static_cast<int64_t>(t) + belt.BornPeriod) {
      marked.push_back(static_cast<int32_t>(i));
    }
  }
  if (beltIndex == 0) {
    S.Level.PrevBeltPhase = S.Level.BeltPhase;
    S.Level.BeltPhase -= shift;
  }

  const int64_t L = belt.PathTime;
  const int32_t accMax = S.Params.AccelerationMax;
  const int32_t accStep = S.Params.AccelerationStep;
  for (int32_t i = static_cast<int32_t>(belt.Cards.size()) - 1; i >= 0; --i) {
    TCard& c = belt.Cards[static_cast<size_t>(i)];
    if (t < c.BornTime) continue;
    const int64_t a = static_cast<int64_t>(t) - c.BornTime;
    c.Alpha = BeltAlpha(a, L);
    if (a > L && !PauseRuns(belt, t)) {
      marked.push_back(i);
      if (S.Game.Mode != dmNoLose && BeltSettled(beltIndex) && !Svc.Widgets->IsGameHintVisible(4)) {
        BeltReachedEnd(t);
        return false;
      }
    } else if (i + 1 < static_cast<int32_t>(belt.Cards.size())) {
      const TCard& n = belt.Cards[static_cast<size_t>(i) + 1];
      auto gap = [&] {
        return static_cast<int64_t>(c.BornTime) + belt.BornPeriod + n.Spacing + c.Spacing < n.BornTime;
      };
      if (gap()) {
        if (c.Acceleration < accMax) c.Acceleration += accStep;
        c.BornTime += c.Acceleration;
        if (!gap()) {
          c.BornTime = n.BornTime - n.Spacing - belt.BornPeriod - c.Spacing;
          c.Acceleration = 0;
        }
      } else {
        c.Acceleration = 0;
      }
    } else if (NoPhase(belt, t)) {
      if (a > belt.BornPeriod) {
        if (c.Acceleration < accMax) c.Acceleration += accStep;
        c.BornTime += c.Acceleration;
        if (static_cast<int64_t>(t) - c.BornTime < belt.BornPeriod) {
          c.BornTime = t - belt.BornPeriod;
          c.Acceleration = 0;
        }
      } else {
        c.Acceleration = 0;
      }
    }
    double x = 0.0, y = 0.0;
    if (BeltPathPoint(belt, static_cast<int32_t>(std::clamp<int64_t>(a, 0, INT32_MAX)), x, y)) {
      const int32_t oldX = c.X;
      const int32_t oldY = c.Y;
      c.X = Round(x - 16.0);
      c.Y = Round(y - 25.0);
      if (c.X != oldX || c.Y != oldY) MarkDirty(c, oldX, oldY, false);
    }
  }

  if (!S.Level.LevComplete) {
    bool born = belt.Cards.empty();
    if (!born) {
      const TCard& y = belt.Cards.back();
      born = static_cast<int64_t>(t) - y.BornTime >= belt.BornPeriod && y.Acceleration == 0 && NoPhase(belt, t);
    }
    if (born) TCardRules(S, Svc).BornBeltCard(beltIndex, t);
  } else if (!belt.Cards.empty() && t < belt.Cards.back().BornTime) {
    // At the level end the belt runs back and loses its cards one by one.
    marked.push_back(static_cast<int32_t>(belt.Cards.size()) - 1);
  }
  RemoveMarked(beltIndex, marked);
  return true;
}

void TBelts::UpdateBelts(int32_t t) {
  for (int32_t b = 0; b < static_cast<int32_t>(S.Level.Belts.size()); ++b) {
    if (!UpdateOneBelt(b, t)) return;
  }
}

void TBelts::UpdateLostBelts(int32_t t) {
  for (int32_t b = 0; b < static_cast<int32_t>(S.Level.Belts.size()); ++b) {
    TFishkaLenta& belt = S.Level.Belts[static_cast<size_t>(b)];
    belt.CurSpeed = 30.0;
    const int32_t shift = Shift(S.FrameDelta, belt.CurSpeed);
    for (TCard& c : belt.Cards) c.BornTime -= shift;
    if (b == 0) {
      S.Level.PrevBeltPhase = S.Level.BeltPhase;
      S.Level.BeltPhase -= shift;
    }
    TIntegers marked;
    for (int32_t i = static_cast<int32_t>(belt.Cards.size()) - 1; i >= 0; --i) {
      TCard& c = belt.Cards[static_cast<size_t>(i)];
      if (t < c.BornTime) continue;
      const int64_t a = static_cast<int64_t>(t) - c.BornTime;
      if (a > belt.PathTime) marked.push_back(i);
      double x = 0.0, y = 0.0;
      if (BeltPathPoint(belt, static_cast<int32_t>(std::clamp<int64_t>(a, 0, INT32_MAX)), x, y)) {
        const int32_t oldX = c.X;
        const int32_t oldY = c.Y;
        c.X = Round(x - 16.0);
        c.Y = Round(y - 25.0);
        if (c.X != oldX || c.Y != oldY) MarkDirty(c, oldX, oldY, true);
      }
    }
    RemoveMarked(b, marked);
  }
}

void TBelts::BeltReachedEnd(int32_t t) {
  TGame& G = S.Game;
  if (G.CurLevel == kIntroLevel && !G.IntroFlags[2] && !S.Level.Belts.empty()) {
    G.IntroFlags[2] = true;
    TFishkaLenta& belt = S.Level.Belts[0];
    double x = 0.0, y = 0.0;
    if (BeltPathPoint(belt, belt.PathTime, x, y)) Svc.Widgets->ShowGameHint(4, Round(x - 20.0), Round(y + 20.0), 0);
    belt.ReverseEnd = t + 5000;
    belt.ReverseStart = t;
    belt.BonusTime = t;
    belt.PauseEnd = -1;
    Svc.Sound->PlaySample("Reverser.ogg");
    return;
  }
  S.SuitableKinds.reset();
  G.GameMode = gmLost;
  G.GameOverTime = t + 3000;
  Svc.Sound->StopAllSounds();
  Svc.Sound->PlaySample("LevelFailed.ogg");
}

}  // namespace qv
