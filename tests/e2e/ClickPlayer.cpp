#include "e2e/ClickPlayer.h"

#include "game/Bonuses.h"
#include "foundation/Clock.h"
#include "game/CardRules.h"

namespace qv::test {

namespace {

bool PlaceForJoker(TShell& s) {
  const TGameState& S = s.Game;
  TCardRules rules(s.Game, s.Svc);
  for (int32_t p : S.FreePoints)
    if (p != S.Level.SharperPoint && !rules.PointBehindStandingWall(p)) return true;
  return false;
}

}  // namespace

bool ClickPlayer::Take() {
  TShell& s = *P;
  const TGameState& S = s.Game;
  const TIntegers& pack = S.Game.DropPack;
  if (!pack.empty() && S.SuitableKinds.test(size_t(S.Cards[size_t(pack.back())].CType))) {
    P.Click(kDropPackRect.Left + 16, kDropPackRect.Top + 25);
    return true;
  }
  const int32_t now = Clock().Now();
  for (const TFishkaLenta& belt : S.Level.Belts) {
    for (size_t i = 0; i < belt.Cards.size(); ++i) {
      const TCard& c = belt.Cards[i];
      if (c.BornTime > now || c.X < 0 || c.Y < 0 || c.X + kCardWidth > 800 || c.Y + kCardHeight > 600) continue;
      const bool bonus = c.BonusType == btCrop || c.BonusType == btReverse || c.BonusType == btPause;
      const bool plain = c.BonusType == btNone && S.SuitableKinds.test(size_t(c.CType));
      const bool joker = c.BonusType == btJoker && PlaceForJoker(s);
      if (!bonus && !plain && !joker) continue;
      // The tutorial lets only the front card go first.
      if (!S.Game.IntroFlags[0] && i != 0) continue;
      if (bonus) ++Bonuses;
      P.Click(c.X + kCardWidth / 2, c.Y + kCardHeight / 2);
      return true;
    }
  }
  return false;
}

void ClickPlayer::Put() {
  TShell& s = *P;
  TGameState& S = s.Game;
  const bool joker = S.Cards[size_t(S.HeldCard)].BonusType == btJoker;
  const TIntegers targets = S.TargetPoints;
  TCardRules rules(S, s.Svc);
  for (int32_t p : targets) {
    if (rules.PointBehindStandingWall(p)) continue;
    const TGamePoint at = S.Level.Points[size_t(p)];
    P.Click(at.X, at.Y);
    if (S.HeldCard < 0) {
      ++Puts;
      if (joker) ++Jokers;
      return;
    }
  }
  if (!S.BonusTargets.empty()) {
    const TGamePoint at = S.BonusTargets[0];
    P.Click(at.X, at.Y);
    if (S.HeldCard < 0) return;
  }
  if (int32_t(S.Game.DropPack.size()) < S.Game.DropPackCapacity && S.Game.IntroFlags[1]) {
    P.Click(kDropPackRect.Left + 16, kDropPackRect.Top + 25);
    if (S.HeldCard < 0) return;
  }
  if (S.Game.IntroFlags[1]) {
    ++Returns;
    P.Click(P->Game.MousePos.X, P->Game.MousePos.Y, 1);
  }
}

void ClickPlayer::Act() {
  if (P.Top() == "WUpgrade") {
    ++Upgrades;
    if (OnUpgrade) OnUpgrade();
    P.ClickWidget("WUpgrade_RBSkill4");
    P.ClickWidget("WUpgrade_BOk");
    return;
  }
  if (P.Mode() != gmPlaying) return;
  if (P->Game.HeldCard < 0) {
    if (Take() && P->Game.HeldCard >= 0) ++Takes;
  } else {
    Put();
  }
}

bool ClickPlayer::PlayLevel(int32_t maxMs, int32_t actEveryMs) {
  const int32_t frame = 40;
  for (int32_t t = 0; t < maxMs && !P.Ended(); t += frame) {
    const TShell& s = *P;
    if (s.Game.Level.LevComplete && P.Top() == "WLevelComplete") return true;
    if (P.Top() == "WGameOver") return false;
    if (t % actEveryMs == 0) Act();
    P.Frames(1, frame);
  }
  return false;
}

}  // namespace qv::test
