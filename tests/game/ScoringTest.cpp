#include "game/Scoring.h"

#include "game/ActionsFixture.h"

namespace qv::test {
namespace {

TEST(ScoringPoints, DecimalFactorsRoundHalfToEven) {
  EXPECT_EQ(RoundRatio(45, 10), 4);
  EXPECT_EQ(RoundRatio(75, 10), 8);
  EXPECT_EQ(RoundRatio(-15, 10), -2);
  EXPECT_EQ(CardPoints(dmNormal, 15), 14) << "15 x 0.3 = 4.5 rounds to 4";
  EXPECT_EQ(CardPoints(dmNormal, 25), 18);
  EXPECT_EQ(CardPoints(dmHard, 25), 21);
  EXPECT_EQ(CardPoints(dmNoLose, 25), 0);
  EXPECT_EQ(QuestPoints(dmNormal, 2), 27);
  EXPECT_EQ(QuestPoints(dmHard, 0), 30);
  EXPECT_EQ(QuestPoints(dmHard, 10), 40) << "33 x 1.2 = 39.6";
  EXPECT_EQ(BonusPlacePoints(dmNormal, 5), 12) << "1.5 rounds to 2";
  EXPECT_EQ(BonusPlacePoints(dmHard, 5), 12);
  EXPECT_EQ(BonusPlacePoints(dmNormal, 25), 18) << "7.5 rounds to 8";
  EXPECT_EQ(BonusPlacePoints(dmHard, 25), 19);
}

TEST(ScoringPoints, PictureNames) {
  GameHarness H;
  EXPECT_EQ(TurnPicture(H.State.CardTypes[size_t(GameHarness::Kind(3, 11))]), "card_animeRP.png");
  EXPECT_EQ(TurnPicture(H.State.CardTypes[size_t(GameHarness::Kind(0, 1))]), "card_animeBN.png");
  EXPECT_EQ(WallCrashPicture("Wall1.png"), "Wall1A.png");
  EXPECT_EQ(WallCrashPicture("Gate"), "A.png");
}

// A row of eight points (0..7, 40 pixels apart at y 200) over a row of eight
// free points (8..15, at y 240), each row point the neighbour of the one
// below it, so cards laid on the row stay open.
class ScoringTest : public ActionsTest {
 protected:
  void SetUp() override {
    ActionsTest::SetUp();
    TLevel& L = St().Level;
    L.Points.clear();
    L.NearPoints.assign(16, {});
    for (int i = 0; i < 16; ++i) L.Points.push_back({100 + 40 * (i % 8), i < 8 ? 200 : 240});
    for (int i = 0; i < 8; ++i) {
      if (i > 0) L.NearPoints[size_t(i)].push_back(i - 1);
      if (i < 7) L.NearPoints[size_t(i)].push_back(i + 1);
      L.NearPoints[size_t(i)].push_back(i + 8);
      L.NearPoints[size_t(i + 8)].push_back(i);
    }
    L.PointsBusy.assign(16, -1);
    L.PointZone.assign(16, 0);
    L.StreetTypes.assign(16, stNone);
  }
  // Lays the ranks from point `first` on, left to right.
  void LayRanks(int32_t first, std::initializer_list<int> ranks) {
    int32_t p = first;
    for (int r : ranks) {
      H.Lay(p, Kind(0, r));
      ++p;
    }
  }

  TScoring Sc{H.State, H.Svc};
};

TEST_F(ScoringTest, CardScoreByModeAndQuest) {
  St().Game.Economy = 10;
  const int32_t c = H.Lay(0, Kind(0, 0));
  St().Cards[size_t(c)].QuestCard = true;
  St().Game.Mode = dmNoLose;
  Sc.AddCardScore(c);
  EXPECT_EQ(St().Game.TotalScore, 0);
  EXPECT_TRUE(H.Effects.Scores.empty());
  EXPECT_EQ(H.Widgets.Captions.count("WGame_LScoreCount"), 0u);

  St().Game.Mode = dmNormal;
  Sc.AddCardScore(c);
  EXPECT_EQ(St().Game.TotalScore, 13 + 33);
  St().Game.Mode = dmHard;
  St().Game.Economy = 0;
  Sc.AddCardScore(c);
  EXPECT_EQ(St().Game.TotalScore, 46 + 42);
  EXPECT_EQ(H.Widgets.Captions["WGame_LScoreCount"], "88");
  ASSERT_EQ(H.Effects.Scores.size(), 2u);
  EXPECT_EQ(H.Effects.Scores[1].second, "30");
  EXPECT_EQ(H.Effects.Scores[1].first, (TGamePoint{84 + 30, 175 + 45}));
}

TEST_F(ScoringTest, StreetWrapsKingAceTwoThree) {
  LayRanks(0, {11, 12, 0, 1});  // King, Ace, Two, Three
  Sc.CheckStreets(3);
  EXPECT_EQ(St().Game.TotalScore, 40);
  ASSERT_EQ(H.Effects.Scores.size(), 4u);
  EXPECT_EQ(H.Effects.Scores[0].second, "10");
  EXPECT_EQ(H.Effects.Scores[1].first, PointAt(2)) << "the put point first, then the walk to the left";
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"StreetDone4.ogg"}));
  const TCard& ace = St().Cards[1];
  EXPECT_EQ(ace.FlashStart, kNow);
  EXPECT_EQ(ace.FlashEnd, kNow + 400);
  EXPECT_EQ(ace.FlashCount, 1);
  EXPECT_EQ(ace.FlashAmplitude, 200);
  EXPECT_EQ(St().Game.FullRedrawTime, kNow + 450);
}

TEST_F(ScoringTest, BothWalksJoinAndEnclosedCardsCut) {
  LayRanks(1, {6, 5, 4, 3, 2});  // Eight down to Four, descending left to right
  Sc.CheckStreets(3);           // put in the middle
  EXPECT_EQ(St().Game.TotalScore, 75);
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"StreetDone5.ogg"}));

  St().Game.TotalScore = 0;
  H.Sound.Samples.clear();
  St().Cards[1].State = csEnclosed;  // on point 2
  Sc.CheckStreets(3);
  EXPECT_EQ(St().Game.TotalScore, 0) << "three cards remain in the run";
  EXPECT_TRUE(H.Sound.Samples.empty());
}

TEST_F(ScoringTest, LongStreetsAndNoLose) {
  LayRanks(0, {0, 1, 2, 3, 4, 5, 6, 7});
  St().Game.Mode = dmNoLose;
  Sc.CheckStreets(0);
  EXPECT_EQ(St().Game.TotalScore, 0);
  EXPECT_TRUE(H.Effects.Scores.empty());
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"StreetDone7More.ogg"}));
  EXPECT_EQ(St().Cards[7].FlashEnd, kNow + 400) << "flashes still run";
  St().Cards[6].State = csEnclosed;  // on point 6: points 0 to 5 remain
  Sc.CheckStreets(0);
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"StreetDone7More.ogg", "StreetDone6.ogg"}));
}

TEST_F(ScoringTest, OnlyANeighbourWithinNinePixelsContinuesARow) {
  TLevel& L = St().Level;
  // Point 1 lies 12 pixels below the row; point 9 (9 pixels below) is
  // listed after it as the other neighbour to the right of point 0.
  L.Points[1] = {140, 212};
  L.Points[9] = {140, 209};
  L.NearPoints[0] = {1, 9};
  L.NearPoints[9] = {0, 2};
  L.NearPoints[2] = {9, 3, 10};
  LayRanks(0, {4, 5, 6, 7});
  H.Lay(9, Kind(1, 5));
  Sc.CheckStreets(0);
  EXPECT_EQ(St().Game.TotalScore, 40) << "0, 9, 2, 3";
  ASSERT_EQ(H.Effects.Scores.size(), 4u);
  EXPECT_EQ(H.Effects.Scores[1].first, PointAt(9));
}

TEST_F(ScoringTest, SeveralRunsFromOnePut) {
  // A column through point 3: two points above it and point 11 below.
  TLevel& L = St().Level;
  const int32_t up2 = 16, up1 = 17, down1 = 11;
  L.Points.push_back({220, 120});
  L.Points.push_back({220, 160});
  L.NearPoints.push_back({up1});
  L.NearPoints.push_back({up2, 3});
  L.NearPoints[3] = {2, 4, up1, down1};
  L.NearPoints[size_t(down1)] = {3};
  L.PointsBusy.resize(18, -1);
  L.PointZone.resize(18, 0);
  L.StreetTypes.resize(18, stNone);
  LayRanks(0, {0, 1, 2, 3});  // Two to Five, the Five on point 3
  H.Lay(up2, Kind(0, 1));     // from the top: Three, Four, Five, Six
  H.Lay(up1, Kind(0, 2));
  H.Lay(down1, Kind(0, 4));
  Sc.CheckStreets(3);
  EXPECT_EQ(St().Game.TotalScore, 80);
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"StreetDone4.ogg", "StreetDone4.ogg"}));
}

TEST_F(ScoringTest, TurningEnclosesFullNeighbourhoods) {
  // Point 8 below point 0 only neighbours point 0.
  H.Lay(0, Kind(3, 11));
  H.Lay(9, Kind(0, 1));  // below point 1; point 1 still free
  const int32_t put = H.Lay(8, Kind(0, 0));
  Sc.StartCardTurnEffect(8);
  EXPECT_EQ(St().Cards[size_t(put)].State, csEnclosed);
  EXPECT_EQ(St().Cards[0].State, csOpen) << "point 0 still has free neighbours";
  ASSERT_EQ(H.Effects.Turns.size(), 1u);
  EXPECT_EQ(H.Effects.Turns[0].first, PointAt(8));
  EXPECT_EQ(H.Effects.Turns[0].second, "card_animeBN.png");
  EXPECT_EQ(St().Cards[size_t(put)].ShowTime, kNow + 500);
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"FlipCard1.ogg"}));

  // Filling point 1 encloses points 0 and 9, but not itself: point 2 is free.
  H.Sound.Samples.clear();
  H.Rand.Ints = {2};
  H.Lay(1, Kind(2, 12));
  Sc.StartCardTurnEffect(1);
  ASSERT_EQ(H.Effects.Turns.size(), 3u);
  EXPECT_EQ(H.Effects.Turns[1].first, PointAt(0));
  EXPECT_EQ(H.Effects.Turns[1].second, "card_animeRP.png");
  EXPECT_EQ(H.Effects.Turns[2].first, PointAt(9));
  EXPECT_EQ(St().Cards[0].State, csEnclosed);
  EXPECT_EQ(St().Cards[3].State, csOpen);
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"FlipCard3.ogg"}));
}

TEST_F(ScoringTest, EveryCompletedWallCrashes) {
  H.Surfaces.Sizes["WallA.png"] = {10, 10};
  H.Surfaces.Sizes["Wall.png"] = {100, 40};
  TLevel& L = St().Level;
  L.Walls.push_back(TWall{"a", {5}, {0, 1}, "Wall.png", 300, 100, false});
  L.Walls.push_back(TWall{"b", {6}, {1}, "Gate.png", 10, 10, false});
  L.Walls.push_back(TWall{"c", {7}, {1, 2}, "Door.png", 10, 10, false});
  H.Lay(0, 0);
  H.Lay(1, 1);
  Sc.CheckWallCrash(1);
  EXPECT_TRUE(L.Walls[0].Crashed);
  EXPECT_TRUE(L.Walls[1].Crashed) << "a second completed wall falls too";
  EXPECT_FALSE(L.Walls[2].Crashed) << "point 2 is still free";
  EXPECT_TRUE(L.Walls[0].WallIn.empty());
  EXPECT_TRUE(L.Walls[0].WallOut.empty());
  ASSERT_EQ(H.Effects.Crashes.size(), 2u);
  EXPECT_EQ(H.Effects.Crashes[0].second, "WallA.png");
  EXPECT_EQ(H.Effects.Crashes[0].first, (TGamePoint{350, 120}));
  EXPECT_EQ(H.Effects.Crashes[1].first, (TGamePoint{0, 0})) << "no surface of that name";
  EXPECT_EQ(St().Game.TotalScore, 100);
  EXPECT_EQ(H.Effects.Scores[0].second, "50");
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"WallDone.ogg", "WallDone.ogg"}));

  St().Game.Mode = dmNoLose;
  H.Lay(2, 2);
  Sc.CheckWallCrash(2);
  EXPECT_TRUE(L.Walls[2].Crashed);
  EXPECT_EQ(St().Game.TotalScore, 100);
}

TEST_F(ScoringTest, CastleFirstCardAndFull) {
  TLevel& L = St().Level;
  L.Zones.push_back(L.Zones[0]);
  L.Zones[1].Wall = true;
  L.PointZone[0] = L.PointZone[1] = 1;
  H.Lay(0, 0);
  Sc.CheckCastle(0);
  EXPECT_EQ(L.Zones[1].FlashEnd, kNow + 800);
  EXPECT_EQ(L.Zones[1].FlashCount, 2);
  EXPECT_EQ(L.Zones[1].FlashAmplitude, 200);
  EXPECT_TRUE(L.Zones[1].Wall);
  H.Lay(1, 1);
  Sc.CheckCastle(1);
  EXPECT_FALSE(L.Zones[1].Wall);
  EXPECT_EQ(L.Zones[1].FlashEnd, kNow + 2000);
  EXPECT_EQ(L.Zones[1].FlashCount, 4);
  EXPECT_EQ(St().Game.FullRedrawTime, kNow + 2050);
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"PutToCastle.ogg", "CastleDone.ogg"}));

  // A castle of one point is started and done at once; a done castle is quiet.
  H.Sound.Samples.clear();
  L.Zones.push_back(L.Zones[0]);
  L.Zones[2].Wall = true;
  L.PointZone[2] = 2;
  H.Lay(2, 2);
  Sc.CheckCastle(2);
  Sc.CheckCastle(1);
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"PutToCastle.ogg", "CastleDone.ogg"}));
  EXPECT_EQ(L.Zones[2].FlashCount, 4);
}

}  // namespace
}  // namespace qv::test
