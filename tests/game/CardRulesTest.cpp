#include <gtest/gtest.h>

#include <algorithm>

#include "game/BeltPath.h"
#include "game/CardRules.h"
#include "game/GameFakes.h"

namespace qv::test {
namespace {

constexpr int kTwo = 0, kFive = 3, kSix = 4, kSeven = 5, kEight = 6, kQueen = 10, kKing = 11, kAce = 12;

TEST(CardTable, KindsPicturesAndRankCircle) {
  TCardTypes t{};
  BuildCardTypes(t);
  EXPECT_EQ(t[0].Picture, "2_piki.png");
  EXPECT_EQ(t[21].Picture, "10_kresti.png");
  EXPECT_EQ(t[21].Suit, 1);
  EXPECT_EQ(t[21].Rank, 8);
  EXPECT_EQ(t[35].Picture, "J_bubny.png");
  EXPECT_EQ(t[51].Picture, "A_chervi.png");
  EXPECT_EQ(t[51].Suit, 3);
  EXPECT_EQ(t[51].Rank, 12);

  EXPECT_EQ(RankDistance(12, 0), 1);
  EXPECT_EQ(RankDistance(0, 12), 1);
  EXPECT_EQ(RankDistance(0, 6), 6);
  EXPECT_EQ(RankDistance(0, 7), 6);
  EXPECT_EQ(RankDistance(5, 5), 0);
  EXPECT_EQ(RankDistance(11, 1), 3);
}

TEST(CardTable, DistanceAndPointLookup) {
  EXPECT_EQ(PointDistance({0, 0}, {3, 4}), 5);
  EXPECT_EQ(PointDistance({0, 0}, {1, 1}), 1);
  const TPoints list{{100, 100}, {130, 100}, {110, 100}};
  EXPECT_EQ(FindPointAt({124, 100}, list), 0);  // 24 away still counts
  EXPECT_EQ(FindPointAt({125, 100}, list), 1);
  EXPECT_EQ(FindPointAt({300, 300}, list), -1);
}

class RulesTest : public ::testing::Test {
 protected:
  GameHarness H;
  TCardRules Rules{H.State, H.Svc};
  TLevel& L = H.State.Level;
};

TEST_F(RulesTest, StreetTypesIncludingAceTwoWrap) {
  H.MakeRow(2);
  H.Lay(0, H.Kind(0, kAce));
  L.StreetTypes[1] = stUp;
  for (int r = 0; r <= 12; ++r) EXPECT_EQ(Rules.CardFitsPoint(H.Kind(2, r), 1), r == kTwo) << "up, rank " << r;

  H.State.Cards[0].CType = H.Kind(0, kTwo);
  L.StreetTypes[1] = stDown;
  for (int r = 0; r <= 12; ++r) EXPECT_EQ(Rules.CardFitsPoint(H.Kind(1, r), 1), r == kAce) << "down, rank " << r;

  H.State.Cards[0].CType = H.Kind(0, kSeven);
  L.StreetTypes[1] = stNone;
  for (int r = 0; r <= 12; ++r) {
    EXPECT_EQ(Rules.CardFitsPoint(H.Kind(3, r), 1), r == kSix || r == kEight) << "none, rank " << r;
  }
  // Ace and Two are neighbours on a plain point both ways.
  H.State.Cards[0].CType = H.Kind(0, kAce);
  EXPECT_TRUE(Rules.CardFitsPoint(H.Kind(1, kTwo), 1));
  EXPECT_TRUE(Rules.CardFitsPoint(H.Kind(1, kKing), 1));

  L.StreetTypes[1] = 3;
  for (int r = 0; r <= 12; ++r) EXPECT_FALSE(Rules.CardFitsPoint(H.Kind(0, r), 1));
}

TEST_F(RulesTest, ZoneWallsAndFreeNeighbours) {
  H.MakeRow(3);
  H.Lay(1, H.Kind(0, kSeven));
  L.Zones.push_back(TZoneType{});
  L.Zones[1].Suits = 0x0C;     // red only
  L.Zones[1].Orders = 1 << kSix;
  L.PointZone[2] = 1;
  EXPECT_TRUE(Rules.CardFitsPoint(H.Kind(2, kSix), 2));
  EXPECT_FALSE(Rules.CardFitsPoint(H.Kind(0, kSix), 2));    // suit refused
  EXPECT_FALSE(Rules.CardFitsPoint(H.Kind(2, kEight), 2));  // rank refused

  L.Walls.push_back(TWall{});
  L.Walls[0].WallIn = {0};
  EXPECT_FALSE(Rules.CardFitsPoint(H.Kind(0, kSix), 0));
  L.Walls[0].Crashed = true;
  EXPECT_TRUE(Rules.CardFitsPoint(H.Kind(0, kSix), 0));

  // A point whose neighbours are all free takes nothing.
  H.MakeRow(3);
  EXPECT_FALSE(Rules.CardFitsPoint(H.Kind(0, kSix), 0));
}

TEST_F(RulesTest, SuitableAndNextButOneKinds) {
  H.MakeRow(4);
  H.Lay(1, H.Kind(0, kSeven));
  L.Zones.push_back(TZoneType{});
  L.Zones[1].Suits = 0x01;
  L.Zones[1].Orders = 0x1FFF;
  L.PointZone[2] = 1;
  Rules.UpdateSuitableCards();
  EXPECT_EQ(H.State.FreePoints, (TIntegers{0, 2}));
  for (int s = 0; s < 4; ++s) {
    EXPECT_TRUE(H.State.SuitableKinds.test(static_cast<size_t>(H.Kind(s, kSix))));
    EXPECT_TRUE(H.State.SuitableKinds.test(static_cast<size_t>(H.Kind(s, kEight))));
    EXPECT_FALSE(H.State.SuitableKinds.test(static_cast<size_t>(H.Kind(s, kFive))));
    EXPECT_TRUE(H.State.NextButOneKinds.test(static_cast<size_t>(H.Kind(s, kFive))));
    EXPECT_TRUE(H.State.NextButOneKinds.test(static_cast<size_t>(H.Kind(s, 7))));  // Nine
  }
  EXPECT_FALSE(H.State.NextButOneKinds.test(static_cast<size_t>(H.Kind(0, kSeven))));
  EXPECT_EQ(H.State.SuitableKinds.count(), 8u);

  // Behind a standing wall a kind fits nowhere, but may still be next-but-one.
  L.Walls.push_back(TWall{});
  L.Walls[0].WallIn = {0, 2};
  Rules.UpdateSuitableCards();
  EXPECT_TRUE(H.State.SuitableKinds.none());
  EXPECT_TRUE(H.State.NextButOneKinds.test(static_cast<size_t>(H.Kind(1, kFive))));
}

TEST_F(RulesTest, BonusPlaceMakesTheNextRankSuitable) {
  H.MakeRow(2);
  L.BPPointsBusy = {H.Lay(0, H.Kind(1, kQueen))};
  L.PointsBusy[0] = -1;  // the card lies on the bonus place, not on a point
  L.Belts.emplace_back();
  Rules.UpdateSuitableCards();
  EXPECT_TRUE(H.State.SuitableKinds.none()) << "the first belt holds no card yet";

  L.Belts[0].Cards.emplace_back();
  Rules.UpdateSuitableCards();
  for (int s = 0; s < 4; ++s) EXPECT_TRUE(H.State.SuitableKinds.test(static_cast<size_t>(H.Kind(s, kKing))));
  EXPECT_EQ(H.State.SuitableKinds.count(), 4u);

  H.State.Cards[0].CType = H.Kind(1, kAce);
  Rules.UpdateSuitableCards();
  for (int s = 0; s < 4; ++s) EXPECT_TRUE(H.State.SuitableKinds.test(static_cast<size_t>(H.Kind(s, kTwo))));

  H.State.Cards[0].CType = H.Kind(1, kKing);
  Rules.UpdateSuitableCards();
  EXPECT_TRUE(H.State.SuitableKinds.none());

  H.State.Cards[0].CType = H.Kind(1, kQueen);
  H.State.Game.IntroFlags[0] = false;
  Rules.UpdateSuitableCards();
  EXPECT_TRUE(H.State.SuitableKinds.none()) << "not while the tutorial waits for the first take";
}

TEST_F(RulesTest, TargetPointsForJokersAndTheSharper) {
  H.MakeRow(4);
  H.Lay(1, H.Kind(0, kSeven));
  L.Walls.push_back(TWall{});
  L.Walls[0].WallIn = {0};
  Rules.UpdateSuitableCards();

  H.State.TargetPoints = {99};
  Rules.UpdateTargetPoints();
  EXPECT_EQ(H.State.TargetPoints, (TIntegers{99})) << "nothing held, nothing rebuilt";

  const int32_t held = H.Lay(3, H.Kind(2, kEight));
  L.PointsBusy[3] = -1;
  H.State.HeldCard = held;
  Rules.UpdateTargetPoints();
  EXPECT_EQ(H.State.TargetPoints, (TIntegers{2}));

  H.State.Cards[static_cast<size_t>(held)].BonusType = btJoker;
  Rules.UpdateTargetPoints();
  EXPECT_EQ(H.State.TargetPoints, (TIntegers{0, 2})) << "a joker's targets ignore the wall";

  L.SharperPoint = 2;
  Rules.UpdateTargetPoints();
  EXPECT_EQ(H.State.TargetPoints, (TIntegers{0}));
}

class ChoiceTest : public RulesTest {
 protected:
  void SetUp() override {
    H.MakeRow(3);
    H.Lay(1, H.Kind(0, kSeven));
    L.SuitableCardProb = 0.5;
    L.Suitable2CardProb = 0.2;
    Rules.UpdateSuitableCards();
  }
  const TIntegers& Weights() const { return H.Rand.WeightCalls.back(); }
  static int Count(const TIntegers& w, int32_t value) { return static_cast<int>(std::count(w.begin(), w.end(), value)); }
};

TEST_F(ChoiceTest, PoolsByDrawAndTable) {
  H.Rand.Floats = {0.4};
  Rules.ChooseNextCard();
  EXPECT_EQ(Count(Weights(), 100), 8);  // Sixes and Eights
  EXPECT_EQ(Weights()[static_cast<size_t>(H.Kind(0, kSeven))], 0);

  H.Rand.Floats = {0.6};
  Rules.ChooseNextCard();
  EXPECT_EQ(Count(Weights(), 100), 8);  // Fives and Nines
  EXPECT_EQ(Weights()[static_cast<size_t>(H.Kind(2, kFive))], 100);

  H.Rand.Floats = {0.9};
  Rules.ChooseNextCard();
  EXPECT_EQ(Count(Weights(), 100), 51);
  EXPECT_EQ(Weights()[static_cast<size_t>(H.Kind(0, kSeven))], 50) << "the Seven on the table halves its weight";

  // With exactly one free point the next card fits, whatever the draw.
  H.Lay(0, H.Kind(1, kEight));
  Rules.UpdateSuitableCards();
  ASSERT_EQ(H.State.FreePoints.size(), 1u);
  H.Rand.Floats = {0.99};
  Rules.ChooseNextCard();
  EXPECT_EQ(Count(Weights(), 100) + Count(Weights(), 50), 8);
  EXPECT_EQ(Count(Weights(), 0), 44);
}

TEST_F(ChoiceTest, HalvingForCopiesOnTheTable) {
  const int32_t six = H.Kind(3, kSix);
  for (int i = 0; i < 3; ++i) H.State.Cards.push_back(MakeCard(six));
  H.Rand.Floats = {0.9};
  Rules.ChooseNextCard();
  EXPECT_EQ(Weights()[static_cast<size_t>(six)], 12);
  for (int i = 0; i < 5; ++i) H.State.Cards.push_back(MakeCard(six));
  Rules.ChooseNextCard();
  EXPECT_EQ(Weights()[static_cast<size_t>(six)], 1) << "a chosen kind never drops to 0";
}

TEST_F(ChoiceTest, EmptyTutorialPoolFallsBackToEveryKind) {
  H.MakeRow(2);  // nothing laid: no free point, no suitable kind
  H.State.Cards.clear();
  Rules.UpdateSuitableCards();
  H.State.Game.IntroFlags[0] = false;
  H.Rand.Floats = {0.1};
  const int32_t k = Rules.ChooseNextCard();
  ASSERT_EQ(H.Rand.WeightCalls.size(), 2u);
  EXPECT_EQ(Count(H.Rand.WeightCalls[0], 0), 52);
  EXPECT_EQ(Count(H.Rand.WeightCalls[1], 100), 52);
  EXPECT_GE(k, 0);
  EXPECT_LT(k, 52);

  // Even a generator that finds nothing never yields an index past the table.
  H.Rand.Weighted = {52, 52};
  EXPECT_EQ(Rules.ChooseNextCard(), 0);
}

TEST_F(ChoiceTest, BonusWeightsMultipliersAndLuck) {
  L.BonusWeights = {3, 5, 10, 7, 100};
  L.Belts.emplace_back();
  L.Belts[0].PathTime = 10000;
  L.CriticalTime = 3000;
  L.CropMultE = 0.5;     // 3 * 0.5 = 1.5 -> 2
  L.ReverseMultE = 0.5;  // 5 * 0.5 = 2.5 -> 2
  L.CropMultC = 2.0;
  L.ReverseMultC = 3.0;
  const int32_t t = 1000000;

  H.Rand.Weighted = {4};
  EXPECT_EQ(Rules.ChooseCardBonus(t), btNone);
  EXPECT_EQ(Weights(), (TIntegers{3, 5, 10, 7, 100})) << "no multiplier applies";

  L.Belts[0].Cards.push_back(MakeCard(0, btReverse));
  H.Rand.Weighted = {1};
  EXPECT_EQ(Rules.ChooseCardBonus(t), btReverse);
  EXPECT_EQ(Weights(), (TIntegers{2, 2, 10, 7, 100}));

  // More than three cards and the first one near the end: both factors in turn.
  for (int i = 0; i < 3; ++i) L.Belts[0].Cards.push_back(MakeCard(0, btNone, t));
  L.Belts[0].Cards[0].BornTime = t - 7001;
  Rules.ChooseCardBonus(t);
  EXPECT_EQ(Weights(), (TIntegers{4, 6, 10, 7, 100}));
  L.Belts[0].Cards[0].BornTime = t - 7000;  // not yet greater
  Rules.ChooseCardBonus(t);
  EXPECT_EQ(Weights(), (TIntegers{2, 2, 10, 7, 100}));

  L.Belts[0].Cards.clear();
  H.State.Game.Luck = 1;  // f = sqrt(10) * 0.02 + 1 = 1.0632...
  L.BonusWeights = {10, 24, 40, 7, 100};
  Rules.ChooseCardBonus(t);
  EXPECT_EQ(Weights(), (TIntegers{11, 26, 43, 7, 100}));
  H.State.Game.Luck = 4;  // f = 1.1264...
  Rules.ChooseCardBonus(t);
  EXPECT_EQ(Weights(), (TIntegers{11, 27, 45, 7, 100}));

  for (int32_t i = 0; i < 4; ++i) {
    H.Rand.Weighted = {i};
    EXPECT_EQ(Rules.ChooseCardBonus(t), i + 1);
  }
  H.Rand.Weighted = {5};
  EXPECT_EQ(Rules.ChooseCardBonus(t), btNone) << "no draw at all is a common card";
}

TEST_F(ChoiceTest, BonusWeightsAlwaysHaveFiveEntries) {
  L.BonusWeights.clear();
  EXPECT_EQ(Rules.ChooseCardBonus(1000000), btNone);
  EXPECT_EQ(Weights().size(), 5u);
}

class BirthTest : public ChoiceTest {
 protected:
  void SetUp() override {
    ChoiceTest::SetUp();
    L.Belts.emplace_back();
    TFishkaLenta& b = L.Belts[0];
    TBeltPathInfo path = MakeBeltPath("Set Linear; Set Timing 1; Path (0, 500) (400, 500);");
    b.Path = std::move(path.Path);
    b.PathLength = 400;
    b.PathTime = 1000;
    b.BornPeriod = 300;
    L.BonusWeights = {0, 0, 0, 0, 100};
    L.QuestFishka = 0.25;
  }
  TFishkaLenta& Belt() { return L.Belts[0]; }
};

TEST_F(BirthTest, FirstCardAndTheChain) {
  const int32_t t = 1000000;
  H.Rand.Floats = {0.9, 0.1};  // pool draw, then a quest draw below 0.25
  Rules.BornBeltCard(0, t);
  ASSERT_EQ(Belt().Cards.size(), 1u);
  const TCard& first = Belt().Cards[0];
  EXPECT_EQ(first.Spacing, 65);  // 1000 / 400 * 26
  EXPECT_EQ(first.BornTime, t + 65);
  EXPECT_EQ(first.X, 16);
  EXPECT_EQ(first.Y, 516);
  EXPECT_EQ(first.BonusType, btNone);
  EXPECT_TRUE(first.QuestCard);

  // The previous card has not entered yet: nothing is born.
  Rules.BornBeltCard(0, t);
  EXPECT_EQ(Belt().Cards.size(), 1u);

  H.Rand.Floats = {0.9, 0.9};
  Rules.BornBeltCard(0, t + 100);
  ASSERT_EQ(Belt().Cards.size(), 2u);
  EXPECT_EQ(Belt().Cards[1].BornTime, t + 65 + 65 + 65 + 300);
  EXPECT_FALSE(Belt().Cards[1].QuestCard);

  // Behind a catching-up card the new one enters at once.
  Belt().Cards[1].Acceleration = 20;
  Belt().Cards[1].BornTime = t;
  Rules.BornBeltCard(0, t + 200);
  EXPECT_EQ(Belt().Cards[2].BornTime, t + 200 + 65);
}

TEST_F(BirthTest, BonusCardsAndTheTutorialsPlainFirstCard) {
  H.Rand.Weighted = {0, 0};  // next card, then the bonus: Crop
  Rules.BornBeltCard(0, 1000000);
  EXPECT_EQ(Belt().Cards[0].BonusType, btCrop);
  EXPECT_EQ(Belt().Cards[0].CType, 0);
  EXPECT_FALSE(Belt().Cards[0].QuestCard);

  Belt().Cards.clear();
  H.State.Game.IntroFlags[0] = false;
  H.Rand.WeightCalls.clear();
  H.Rand.Weighted = {17, 1};
  Rules.BornBeltCard(0, 1000000);
  EXPECT_EQ(Belt().Cards[0].BonusType, btNone);
  EXPECT_EQ(Belt().Cards[0].CType, 17);
  EXPECT_EQ(H.Rand.WeightCalls.size(), 1u) << "no bonus is drawn for the tutorial's first card";
}

TEST_F(BirthTest, BeltWithoutPathAndBadIndex) {
  Belt().Path.reset();
  Rules.BornBeltCard(0, 1000000);
  EXPECT_EQ(Belt().Cards[0].X, -1000);
  Rules.BornBeltCard(5, 1000000);
  Rules.BornBeltCard(-1, 1000000);
  EXPECT_EQ(L.Belts.size(), 1u);
}

}  // namespace
}  // namespace qv::test
