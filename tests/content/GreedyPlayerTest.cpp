// A headless greedy player finishes every level in NoLose mode on the game
// model with a manual clock: it clicks the first belt card that fits
// somewhere (bonus cards are clicked as soon as they come, so Crop, Reverse
// and Pause run), puts it on the first point that takes it, else on the bonus
// place or into the drop pack, and plays jokers whenever they come.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "content/GameWiring.h"
#include "foundation/Random.h"
#include "game/Bonuses.h"
#include "game/CardActions.h"
#include "game/GameUpdate.h"

namespace qv::test {
namespace {

class GreedyPlayer {
 public:
  explicit GreedyPlayer(ContentGame& g) : S(g.State), Rules(g.State, g.Svc), Hand(g.State, g.Svc) {}

  void Act(int32_t t) {
    if (S.HeldCard < 0)
      Take(t);
    else
      Put();
  }

  int Puts = 0, Jokers = 0, Bonuses = 0, Kings = 0;

 private:
  bool PlaceForJoker() const {
    for (int32_t p : S.FreePoints)
      if (p != S.Level.SharperPoint && !Rules.PointBehindStandingWall(p)) return true;
    return false;
  }

  void Take(int32_t t) {
    const TIntegers& pack = S.Game.DropPack;
    if (!pack.empty() && S.SuitableKinds.test(size_t(S.Cards[size_t(pack.back())].CType))) {
      Hand.TakeCard(kDropPackRect.Left + 16, kDropPackRect.Top + 25);
      return;
    }
    for (size_t b = 0; b < S.Level.Belts.size(); ++b) {
      const TCardArray& cards = S.Level.Belts[b].Cards;
      for (size_t i = 0; i < cards.size(); ++i) {
        const TCard& c = cards[i];
        if (c.BornTime > t || c.X < 0 || c.Y < 0) continue;
        const bool bonus = c.BonusType == btCrop || c.BonusType == btReverse || c.BonusType == btPause;
        const bool plain = c.BonusType == btNone && S.SuitableKinds.test(size_t(c.CType));
        const bool joker = c.BonusType == btJoker && PlaceForJoker();
        if (!bonus && !plain && !joker) continue;
        if (bonus) ++Bonuses;
        Hand.TakeCard(c.X + 16, c.Y + 25);
        return;
      }
    }
  }

  void Put() {
    const bool joker = S.Cards[size_t(S.HeldCard)].BonusType == btJoker;
    const int rank = S.CardTypes[size_t(S.Cards[size_t(S.HeldCard)].CType)].Rank;
    for (int32_t p : S.TargetPoints) {
      if (Rules.PointBehindStandingWall(p)) continue;
      const TGamePoint at = S.Level.Points[size_t(p)];
      if (Hand.PutCard(at.X, at.Y)) {
        ++Puts;
        if (joker) ++Jokers;
        return;
      }
    }
    if (!S.BonusTargets.empty() && Hand.PutCard(S.BonusTargets[0].X, S.BonusTargets[0].Y)) {
      if (!joker && rank == 11) ++Kings;
      return;
    }
    if (int32_t(S.Game.DropPack.size()) < S.Game.DropPackCapacity &&
        Hand.PutCard(kDropPackRect.Left + 16, kDropPackRect.Top + 25))
      return;
    Hand.ReturnCard();
  }

  TGameState& S;
  TCardRules Rules;
  TCardActions Hand;
};

struct PlayResult {
  bool Complete = false;
  int32_t Seconds = 0;
  int FreePoints = 0;
  int Puts = 0, Jokers = 0, Bonuses = 0, Kings = 0;
};

// Plays one level from its start until it is complete, lost or half an hour
// of play has passed.
PlayResult Play(const std::string& entry, int32_t difficulty, bool tutorial) {
  PlayResult r;
  const int number = LevelNumber(entry);
  RandSeed(20260 + uint32_t(number));
  ContentGame g;
  EXPECT_TRUE(g.Loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml"));
  g.State.Game.CurLevel = number == 42 ? 42 : number - 1;
  EXPECT_TRUE(g.Loader.LoadLevel(entry));
  g.State.Game.Mode = difficulty;
  g.State.Game.GameMode = gmPlaying;
  g.State.Game.DropPackCapacity = 3;
  // A new game clears these before the introductory level: its tutorial runs.
  if (tutorial) g.State.Game.IntroFlags = {false, false, false, false};
  TGameUpdate update(g.State, g.Svc);
  GreedyPlayer player(g);
  const int32_t start = g.Clock.Now();
  const int32_t limit = start + 30 * 60 * 1000;
  int upgrades = 0;
  int32_t t = start;
  for (; t < limit && !g.State.Level.LevComplete && g.State.Game.GameMode != gmLost; t += 40) {
    g.Clock.Set(t);
    update.UpdateFrame(t);
    // The upgrade window that a King opens closes at once.
    if (g.Screens.Upgrades != upgrades) {
      upgrades = g.Screens.Upgrades;
      g.State.Game.UpgradeTime = -1;
      g.State.Game.GameMode = gmPlaying;
    }
    if ((t - start) % 200 == 0) player.Act(t);
  }
  r.Complete = g.State.Level.LevComplete;
  r.Seconds = (t - start) / 1000;
  r.FreePoints = int(std::count(g.State.Level.PointsBusy.begin(), g.State.Level.PointsBusy.end(), -1));
  r.Puts = player.Puts;
  r.Jokers = player.Jokers;
  r.Bonuses = player.Bonuses;
  r.Kings = player.Kings;
  return r;
}

TEST(ContentPlay, GreedyPlayerFinishesEveryLevelInNoLose) {
  int jokers = 0, bonuses = 0, kings = 0;
  for (const std::string& entry : LevelEntries()) {
    SCOPED_TRACE(entry);
    const PlayResult r = Play(entry, dmNoLose, false);
    EXPECT_TRUE(r.Complete) << "after " << r.Seconds << " s, " << r.Puts << " cards put, " << r.FreePoints
                            << " points free";
    std::cout << entry << ": finished after " << r.Seconds << " s of play, " << r.Puts << " cards, " << r.Jokers
              << " jokers, " << r.Bonuses << " bonus cards, " << r.Kings << " kings\n";
    jokers += r.Jokers;
    bonuses += r.Bonuses;
    kings += r.Kings;
  }
  EXPECT_GT(jokers, 0) << "jokers come and are played";
  EXPECT_GT(bonuses, 0) << "bonus cards come and are used";
  EXPECT_GT(kings, 0) << "a King completes a bonus place";
}

// The introductory level with its tutorial: the first card waits, only the
// front card may be taken, and the first card that reaches the end turns the
// belt back instead of losing.
TEST(ContentPlay, TutorialOfTheIntroductoryLevelCanBeFinished) {
  const PlayResult r = Play("Level42.xml", dmNormal, true);
  EXPECT_TRUE(r.Complete) << "after " << r.Seconds << " s, " << r.FreePoints << " points free";
}

}  // namespace
}  // namespace qv::test
