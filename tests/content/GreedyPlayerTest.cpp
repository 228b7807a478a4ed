// A headless greedy player finishes every level in NoLose mode on the real
// card model (belts, card choice, placement rules, sharper) with a manual
// clock: take the first belt card that fits somewhere, put it on the first
// point that takes it, play jokers whenever they come.
//
// The hand below is a stand-in for the card actions until they are part of
// the game: it lays a card the way a put does (position, busy point, wall
// crash, level end) and lets the thief take the card put on its guard.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "content/GameWiring.h"
#include "foundation/Random.h"
#include "game/CardBook.h"
#include "game/GameUpdate.h"

namespace qv::test {
namespace {

class GreedyHand {
 public:
  GreedyHand(ContentGame& g) : G(g), S(g.State), Rules(g.State, g.Svc) {}

  // One move of the player at time t.
  void Act(int32_t t) {
    if (S.HeldCard < 0) {
      Take(t);
    } else {
      Put();
    }
  }

  int Puts = 0;
  int Jokers = 0;
  int Thefts = 0;

 private:
  bool JokerHasPlace() const {
    for (int32_t p : S.FreePoints)
      if (p != S.Level.SharperPoint && !Rules.PointBehindStandingWall(p)) return true;
    return false;
  }

  void Take(int32_t t) {
    for (size_t b = 0; b < S.Level.Belts.size(); ++b) {
      TCardArray& cards = S.Level.Belts[b].Cards;
      for (size_t i = 0; i < cards.size(); ++i) {
        const TCard& c = cards[i];
        if (c.BornTime > t) continue;
        const bool plain = c.BonusType == btNone && S.SuitableKinds.test(size_t(c.CType));
        const bool joker = c.BonusType == btJoker && JokerHasPlace();
        if (!plain && !joker) continue;
        S.Cards.push_back(c);
        S.HeldCard = int32_t(S.Cards.size()) - 1;
        RemoveBeltCard(S, *G.Svc.Screen, int32_t(b), int32_t(i));
        Rules.UpdateTargetPoints();
        return;
      }
    }
  }

  void Put() {
    TCard& held = S.Cards[size_t(S.HeldCard)];
    for (int32_t p : S.TargetPoints) {
      if (Rules.PointBehindStandingWall(p)) continue;
      if (held.BonusType == btJoker) {
        // A joker becomes a card its point's zone allows.
        TIntegers kinds;
        for (int32_t k = 0; k < kCardKinds; ++k)
          if (Rules.ZoneAllows(k, p)) kinds.push_back(k);
        if (kinds.empty()) continue;
        held.CType = kinds[size_t(Random(int32_t(kinds.size())))];
        ++Jokers;
      }
      Lay(p);
      return;
    }
    // Nothing takes it any more (the board changed under it): let it go.
    DiscardCard(S, S.HeldCard);
    S.HeldCard = -1;
    Rules.UpdateSuitableCards();
  }

  void Lay(int32_t p) {
    TLevel& L = S.Level;
    const int32_t card = S.HeldCard;
    S.HeldCard = -1;
    if (std::find(L.ThiefPoints.begin(), L.ThiefPoints.end(), p) != L.ThiefPoints.end()) {
      L.ThiefPoints.clear();
      DiscardCard(S, card);
      ++Thefts;
      Rules.UpdateSuitableCards();
      return;
    }
    TCard& c = S.Cards[size_t(card)];
    c.X = L.Points[size_t(p)].X - 16;
    c.Y = L.Points[size_t(p)].Y - 25;
    c.ShowTime = -1;
    c.State = csOpen;
    L.PointsBusy[size_t(p)] = card;
    ++Puts;
    for (TWall& w : L.Walls) {
      if (w.Crashed || std::find(w.WallOut.begin(), w.WallOut.end(), p) == w.WallOut.end()) continue;
      if (std::all_of(w.WallOut.begin(), w.WallOut.end(), [&](int32_t q) { return L.PointsBusy[size_t(q)] != -1; })) {
        w.WallIn.clear();
        w.WallOut.clear();
        w.Crashed = true;
        break;
      }
    }
    if (std::none_of(L.PointsBusy.begin(), L.PointsBusy.end(), [](int32_t b) { return b == -1; }))
      L.LevComplete = true;
    Rules.UpdateSuitableCards();
  }

  ContentGame& G;
  TGameState& S;
  TCardRules Rules;
};

TEST(ContentPlay, GreedyPlayerFinishesEveryLevelInNoLose) {
  int jokers = 0;
  for (const std::string& entry : LevelEntries()) {
    SCOPED_TRACE(entry);
    RandSeed(20260 + uint32_t(LevelNumber(entry)));
    ContentGame g;
    ASSERT_TRUE(g.Loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml"));
    const int number = LevelNumber(entry);
    g.State.Game.CurLevel = number == 42 ? 42 : number - 1;
    ASSERT_TRUE(g.Loader.LoadLevel(entry));
    g.State.Game.Mode = dmNoLose;
    g.State.Game.GameMode = gmPlaying;
    TGameUpdate update(g.State, g.Svc);
    GreedyHand hand(g);
    const int32_t start = g.Clock.Now();
    const int32_t limit = start + 30 * 60 * 1000;  // half an hour of play at most
    int32_t t = start;
    for (; t < limit && !g.State.Level.LevComplete; t += 40) {
      g.Clock.Set(t);
      update.UpdateFrame(t);
      if ((t - start) % 200 == 0) hand.Act(t);
    }
    EXPECT_TRUE(g.State.Level.LevComplete) << "after " << (t - start) / 1000 << " s, " << hand.Puts << " cards put, "
                                           << std::count(g.State.Level.PointsBusy.begin(),
                                                         g.State.Level.PointsBusy.end(), -1)
                                           << " points free";
    EXPECT_GT(hand.Puts, 0);
    std::cout << entry << ": finished after " << (t - start) / 1000 << " s of play, " << hand.Puts << " cards, "
              << hand.Jokers << " jokers, " << hand.Thefts << " thefts\n";
    jokers += hand.Jokers;
  }
  EXPECT_GT(jokers, 0) << "jokers come and are played";
}

}  // namespace
}  // namespace qv::test
