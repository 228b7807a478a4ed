#include <gtest/gtest.h>

#include "game/CardBook.h"
#include "game/GameFakes.h"

namespace qv::test {
namespace {

TEST(CardBook, DiscardKeepsEveryIndexListValid) {
  GameHarness H;
  H.MakeRow(3);
  TGameState& S = H.State;
  H.Lay(0, 1);                          // card 0
  S.Cards.push_back(MakeCard(2));       // card 1: in the drop pack
  H.Lay(2, 3);                          // card 2
  S.Cards.push_back(MakeCard(4));       // card 3: on the bonus place
  S.Cards.push_back(MakeCard(5));       // card 4: held
  S.Level.BPPointsBusy = {3, 1};
  S.Game.DropPack = {1, 3};
  S.HeldCard = 4;

  DiscardCard(S, 1);
  ASSERT_EQ(S.Cards.size(), 4u);
  EXPECT_EQ(S.Cards[1].CType, 3);
  EXPECT_EQ(S.Level.PointsBusy, (TIntegers{0, -1, 1}));
  EXPECT_EQ(S.Level.BPPointsBusy, (TIntegers{2, -1}));
  EXPECT_EQ(S.Game.DropPack, (TIntegers{1, 2})) << "the equal entry is the caller's to remove";
  EXPECT_EQ(S.HeldCard, 3);

  DiscardCard(S, 3);
  EXPECT_EQ(S.HeldCard, -1);
  DiscardCard(S, 9);
  DiscardCard(S, -1);
  EXPECT_EQ(S.Cards.size(), 3u);
}

TEST(CardBook, RemoveBeltCardRedrawsAndKeepsOrder) {
  GameHarness H;
  TGameState& S = H.State;
  S.Level.Belts.resize(1);
  S.Level.Belts[0].Cards = {MakeCard(1), MakeCard(2), MakeCard(3)};
  RemoveBeltCard(S, H.Screen, 0, 3);
  EXPECT_EQ(H.Screen.OnlyRects, 0);
  RemoveBeltCard(S, H.Screen, 0, 1);
  EXPECT_EQ(H.Screen.OnlyRects, 1);
  EXPECT_EQ(H.Screen.Dirty, (std::vector<TRect>{TRect{0, 0, 800, 600}}));
  ASSERT_EQ(S.Level.Belts[0].Cards.size(), 2u);
  EXPECT_EQ(S.Level.Belts[0].Cards[1].CType, 3);
  RemoveBeltCard(S, H.Screen, 2, 0);
  EXPECT_EQ(S.Level.Belts[0].Cards.size(), 2u);
}

}  // namespace
}  // namespace qv::test
