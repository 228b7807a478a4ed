#include <gtest/gtest.h>

#include "foundation/Numeric.h"
#include "game/BeltPath.h"
#include "game/Belts.h"
#include "game/GameFakes.h"

namespace qv::test {
namespace {

constexpr int32_t kNow = 1000000;

// One belt of 1000 pixels run in 10 s: the rush-in ends at 3300 ms of age,
// the slow-down starts at 8000 ms; a card needs 260 ms for 26 pixels.
class BeltTest : public ::testing::Test {
 protected:
  void SetUp() override {
    H.State.Game.GameMode = gmPlaying;
    H.State.Params.AccelerationMax = 40;
    H.State.Params.AccelerationStep = 10;
    H.State.Level.BonusWeights = {0, 0, 0, 0, 100};
    H.State.Level.Belts.emplace_back();
    TFishkaLenta& b = Belt();
    TBeltPathInfo path = MakeBeltPath("Set Linear; Set Timing 10; Path (0, 0) (1000, 0);");
    b.Path = std::move(path.Path);
    b.PathLength = Round(path.TotalLength);
    b.PathTime = static_cast<int32_t>(path.TotalDuration);
    b.BornPeriod = 300;
  }
  TFishkaLenta& Belt() { return H.State.Level.Belts[0]; }
  // A plain card of the kind, entered `age` ms before now.
  TCard& Add(int32_t age, int32_t kind = 51) {
    TCard c = MakeCard(kind, btNone, kNow - age);
    c.Spacing = 260;
    Belt().Cards.push_back(c);
    return Belt().Cards.back();
  }
  double Factor(int32_t t = kNow) { return Belts.SpeedFactor(Belt(), t); }
  void Pass(int32_t delta, int32_t t = kNow) {
    H.State.FrameDelta = delta;
    Belts.UpdateBelts(t);
  }

  GameHarness H;
  TBelts Belts{H.State, H.Svc};
};

TEST_F(BeltTest, SpeedByAgeAtEveryBoundary) {
  ASSERT_EQ(Belt().PathTime, 10000);
  TCard& c = Add(0);
  EXPECT_DOUBLE_EQ(Factor(), 10.0);
  c.BornTime = kNow - 1650;
  EXPECT_DOUBLE_EQ(Factor(), 5.0);
  c.BornTime = kNow - 3299;
  EXPECT_NEAR(Factor(), 10.0 / 3300.0, 1e-12);
  c.BornTime = kNow - 3300;
  EXPECT_DOUBLE_EQ(Factor(), 0.0);
  c.BornTime = kNow - 7999;
  EXPECT_DOUBLE_EQ(Factor(), 0.0);
  c.BornTime = kNow - 8000;
  EXPECT_DOUBLE_EQ(Factor(), 0.0);
  c.BornTime = kNow - 9000;
  EXPECT_DOUBLE_EQ(Factor(), -0.3);
  c.BornTime = kNow - 10000;
  EXPECT_DOUBLE_EQ(Factor(), -0.6);

  H.State.Game.Mode = dmHard;
  c.BornTime = kNow;
  EXPECT_DOUBLE_EQ(Factor(), 10.3);
  c.BornTime = kNow - 3300;
  EXPECT_DOUBLE_EQ(Factor(), 0.3);
  c.BornTime = kNow - 9000;
  Belt().CurSpeed = 0.3;
  EXPECT_DOUBLE_EQ(Factor(), 0.3) << "Hard never slows down at the end";
}

TEST_F(BeltTest, SpeedInPauseAndReverse) {
  Add(5000);
  TFishkaLenta& b = Belt();
  b.PauseStart = kNow;
  b.PauseEnd = kNow + 7000;
  EXPECT_DOUBLE_EQ(Factor(), 0.0);
  EXPECT_DOUBLE_EQ(Factor(kNow + 250), -0.5);
  EXPECT_DOUBLE_EQ(Factor(kNow + 500), -1.0);
  EXPECT_DOUBLE_EQ(Factor(kNow + 6500), -1.0);
  EXPECT_DOUBLE_EQ(Factor(kNow + 6750), -0.5);
  EXPECT_DOUBLE_EQ(Factor(kNow + 7000), 0.0);
  EXPECT_DOUBLE_EQ(Factor(kNow + 7001), -0.6 * (12001 - 8000) / 2000.0) << "over: the age rule again";

  b.PauseEnd = -1;
  b.ReverseStart = kNow;
  b.ReverseEnd = kNow + 2000;
  EXPECT_DOUBLE_EQ(Factor(), -1.0);
  EXPECT_DOUBLE_EQ(Factor(kNow + 250), -3.5);
  EXPECT_DOUBLE_EQ(Factor(kNow + 500), -6.0);
  EXPECT_DOUBLE_EQ(Factor(kNow + 1500), -6.0);
  EXPECT_DOUBLE_EQ(Factor(kNow + 1750), -3.0);
  EXPECT_DOUBLE_EQ(Factor(kNow + 2000), 0.0);
}

TEST_F(BeltTest, SpeedAtLevelEndEmptyLostAndTutorial) {
  Belt().ReverseEnd = kNow + 1000;
  EXPECT_DOUBLE_EQ(Factor(), 10.0) << "an empty belt fills at once";
  EXPECT_EQ(Belt().ReverseEnd, -1);
  H.State.Level.LevComplete = true;
  EXPECT_DOUBLE_EQ(Factor(), 2.0);
  TCard& c = Add(5000);
  Belt().ReverseEnd = kNow + 1000;
  EXPECT_DOUBLE_EQ(Factor(), -6.0);
  EXPECT_EQ(Belt().ReverseEnd, -1);
  H.State.Level.LevComplete = false;
  H.State.Game.GameMode = gmLost;
  EXPECT_DOUBLE_EQ(Factor(), 10.0);
  H.State.Game.GameMode = gmPlaying;

  // The tutorial holds the first card a third of the way along.
  H.State.Game.CurLevel = kIntroLevel;
  H.State.Game.IntroFlags[0] = false;
  c.X = 300;
  c.Y = 400;
  c.BornTime = kNow - 3299;
  EXPECT_GT(Factor(), 0.0);
  EXPECT_TRUE(H.Widgets.Hints.empty());
  c.BornTime = kNow - 3300;
  EXPECT_DOUBLE_EQ(Factor(), -1.0);
  ASSERT_EQ(H.Widgets.Hints.size(), 1u);
  EXPECT_EQ(H.Widgets.Hints[0].Hint, 1);
  EXPECT_EQ(H.Widgets.Hints[0].X, 315);
  EXPECT_EQ(H.Widgets.Hints[0].Y, 395);
  EXPECT_EQ(H.Widgets.Hints[0].Anchor, 3);
  Factor();
  EXPECT_EQ(H.Widgets.Hints.size(), 1u) << "shown once while visible";

  H.State.Game.IntroFlags[0] = true;
  EXPECT_DOUBLE_EQ(Factor(), 0.0);
  H.Widgets.VisibleHints.insert(2);
  EXPECT_DOUBLE_EQ(Factor(), -1.0) << "the second hint halts the belt";
}

TEST_F(BeltTest, AgeingRoundsHalvesToEven) {
  TCard& c = Add(5000);
  Belt().PauseStart = kNow - 250;  // factor -0.5
  Belt().PauseEnd = kNow + 6750;
  Pass(5);  // -2.5 -> -2
  EXPECT_EQ(c.BornTime, kNow - 5000 + 2);
  EXPECT_EQ(H.State.Level.BeltPhase, 2);
  EXPECT_EQ(H.State.Level.PrevBeltPhase, 0);
  Pass(3);  // -1.5 -> -2
  EXPECT_EQ(c.BornTime, kNow - 5000 + 4);
  Pass(1);  // -0.5 -> 0
  EXPECT_EQ(c.BornTime, kNow - 5000 + 4);
  EXPECT_EQ(Belt().Cards.size(), 1u) << "no birth while a phase runs";
}

TEST_F(BeltTest, CardPositionAlphaAndDirtyRect) {
  H.Surfaces.Sizes["A_chervi.png"] = {32, 50};
  TCard& c = Add(5000);
  c.DrawnRect = TRect{400, 0, 440, 60};
  Pass(0);
  EXPECT_EQ(c.X, 500 - 16);
  EXPECT_EQ(c.Y, -25);
  EXPECT_EQ(c.Alpha, 255);
  ASSERT_FALSE(H.Screen.Dirty.empty());
  EXPECT_EQ(H.Screen.Dirty[0], (TRect{400, -25, 516, 60}));

  c.BornTime = kNow - 500;
  Pass(0);
  EXPECT_EQ(c.Alpha, 127);  // trunc(500 * 255 / 1000)
  c.BornTime = kNow - 9700;
  Pass(0);
  EXPECT_EQ(c.Alpha, 76);  // 300 ms left
  Belt().PauseStart = kNow - 1000;
  Belt().PauseEnd = kNow + 1000;
  c.BornTime = kNow - 10400;
  Pass(0);
  EXPECT_EQ(c.Alpha, 0) << "past the end the fade stays at 0";
}

TEST_F(BeltTest, EndOfBeltLosesTheLevel) {
  Add(10001);
  H.State.SuitableKinds.set(3);
  Pass(0);
  EXPECT_EQ(H.State.Game.GameMode, gmLost);
  EXPECT_EQ(H.State.Game.GameOverTime, kNow + 3000);
  EXPECT_EQ(H.Sound.StopAll, 1);
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"LevelFailed.ogg"}));
  EXPECT_TRUE(H.State.SuitableKinds.none());
  EXPECT_EQ(Belt().Cards.size(), 1u) << "nothing removed in the losing pass";
}

TEST_F(BeltTest, EndOfBeltWithoutLosing) {
  // During a Pause a card past the end is neither counted nor removed.
  Add(10001);
  Belt().PauseStart = kNow - 1000;
  Belt().PauseEnd = kNow + 1000;
  Pass(0);
  EXPECT_EQ(H.State.Game.GameMode, gmPlaying);
  EXPECT_EQ(Belt().Cards.size(), 1u);

  // While another card still catches up, it is just removed.
  Belt().PauseEnd = -1;
  Add(1000, 7);
  Pass(0);
  EXPECT_EQ(H.State.Game.GameMode, gmPlaying);
  ASSERT_EQ(Belt().Cards.size(), 1u);
  EXPECT_EQ(Belt().Cards[0].CType, 7);

  // In NoLose it goes and play continues.
  Belt().Cards.clear();
  H.State.Game.Mode = dmNoLose;
  Add(10001);
  Pass(0);
  EXPECT_EQ(H.State.Game.GameMode, gmPlaying);
  EXPECT_TRUE(H.Sound.Samples.empty());
  ASSERT_EQ(Belt().Cards.size(), 1u) << "a new card was queued";
  EXPECT_NE(Belt().Cards[0].CType, 51);

  // The fourth hint on screen also spares the level.
  Belt().Cards.clear();
  H.State.Game.Mode = dmNormal;
  H.Widgets.VisibleHints.insert(4);
  Add(10001);
  Pass(0);
  EXPECT_EQ(H.State.Game.GameMode, gmPlaying);
}

TEST_F(BeltTest, TwoCardsPastTheEndInOnePass) {
  H.State.Game.Mode = dmNoLose;
  Add(10500, 1);
  Add(10200, 2);
  Add(5000, 3);
  Pass(0);
  ASSERT_EQ(Belt().Cards.size(), 1u);
  EXPECT_EQ(Belt().Cards[0].CType, 3) << "the two oldest go, the youngest stays";
}

TEST_F(BeltTest, GapsCloseWithGrowingAcceleration) {
  Add(5000, 1);
  Add(200, 2);
  const TCard& a = Belt().Cards[0];
  for (int i = 0; i < 4; ++i) Pass(0);
  EXPECT_EQ(Belt().Cards[0].Acceleration, 40);
  EXPECT_EQ(Belt().Cards[0].BornTime, kNow - 5000 + 10 + 20 + 30 + 40);
  EXPECT_TRUE(!Belts.BeltSettled(0));
  for (int i = 0; i < 200; ++i) Pass(0);
  // Exactly a spacing behind the younger card.
  EXPECT_EQ(a.BornTime, kNow - 200 - 260 - 300 - 260);
  EXPECT_EQ(a.Acceleration, 0);
  EXPECT_TRUE(Belts.BeltSettled(0));
  EXPECT_EQ(Belt().Cards.size(), 2u);
}

TEST_F(BeltTest, YoungestCardCatchesUpThenACardIsBorn) {
  TCard& c = Add(1000);
  Pass(0);
  EXPECT_EQ(c.Acceleration, 10);
  EXPECT_EQ(c.BornTime, kNow - 990);
  for (int i = 0; i < 30 && Belt().Cards.size() == 1; ++i) Pass(0);
  ASSERT_EQ(Belt().Cards.size(), 2u);
  EXPECT_EQ(Belt().Cards[0].BornTime, kNow - 300);
  EXPECT_EQ(Belt().Cards[0].Acceleration, 0);
  EXPECT_EQ(Belt().Cards[1].BornTime, kNow - 300 + 260 + 260 + 300);
}

TEST_F(BeltTest, EmptyBeltGetsACardAtOnceAndNoBeltsIsFine) {
  Pass(16);
  ASSERT_EQ(Belt().Cards.size(), 1u);
  EXPECT_EQ(Belt().Cards[0].BornTime, kNow + 260);
  EXPECT_DOUBLE_EQ(Belt().CurSpeed, 10.0);
  H.State.Level.Belts.clear();
  Pass(16);
  Belts.UpdateLostBelts(kNow);
  Belts.BeltReachedEnd(kNow);
  EXPECT_EQ(H.State.Game.GameMode, gmLost);
}

TEST_F(BeltTest, LevelEndRunsTheBeltBackEmpty) {
  H.State.Level.LevComplete = true;
  Add(1000, 1);
  Add(500, 2);
  Pass(100);  // factor -6: every card 600 ms younger
  ASSERT_EQ(Belt().Cards.size(), 1u) << "the youngest ran back behind the start";
  EXPECT_EQ(Belt().Cards[0].CType, 1);
  Pass(100);
  EXPECT_TRUE(Belt().Cards.empty());
  Pass(100);
  EXPECT_DOUBLE_EQ(Belt().CurSpeed, 2.0);
  EXPECT_TRUE(Belt().Cards.empty()) << "no births at the level end";
}

TEST_F(BeltTest, ReverseDropsCardsBehindTheStart) {
  Add(3000, 1);
  Add(100, 2);
  Belt().ReverseStart = kNow - 1000;
  Belt().ReverseEnd = kNow + 1000;
  Pass(100);  // -6: 600 ms younger; the second card is 200 ms past its start + 300
  ASSERT_EQ(Belt().Cards.size(), 1u);
  EXPECT_EQ(Belt().Cards[0].CType, 1);
  EXPECT_EQ(Belt().Cards[0].BornTime, kNow - 2400 + 10) << "600 ms younger, then it starts closing the gap";
}

TEST_F(BeltTest, TutorialTurnsTheBeltBackOnce) {
  H.State.Game.CurLevel = kIntroLevel;
  H.State.Game.IntroFlags[2] = false;
  Add(10001);
  Pass(0);
  EXPECT_EQ(H.State.Game.GameMode, gmPlaying);
  EXPECT_TRUE(H.State.Game.IntroFlags[2]);
  EXPECT_EQ(Belt().ReverseStart, kNow);
  EXPECT_EQ(Belt().ReverseEnd, kNow + 5000);
  EXPECT_EQ(Belt().BonusTime, kNow);
  EXPECT_EQ(Belt().PauseEnd, -1);
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"Reverser.ogg"}));
  ASSERT_EQ(H.Widgets.Hints.size(), 1u);
  EXPECT_EQ(H.Widgets.Hints[0].Hint, 4);
  EXPECT_EQ(H.Widgets.Hints[0].X, 980);
  EXPECT_EQ(H.Widgets.Hints[0].Y, 20);

  Belts.BeltReachedEnd(kNow);
  EXPECT_EQ(H.State.Game.GameMode, gmLost);
}

TEST_F(BeltTest, LostBeltsRunOutFast) {
  H.State.Game.GameMode = gmLost;
  H.Surfaces.Sizes["A_chervi.png"] = {32, 50};
  Add(9000, 1);
  Add(2000, 2);
  H.State.FrameDelta = 100;  // factor 30: 3000 ms older
  Belts.UpdateLostBelts(kNow);
  ASSERT_EQ(Belt().Cards.size(), 1u);
  EXPECT_EQ(Belt().Cards[0].CType, 2);
  EXPECT_EQ(Belt().Cards[0].BornTime, kNow - 5000);
  EXPECT_EQ(Belt().Cards[0].X, 500 - 16);
  EXPECT_DOUBLE_EQ(Belt().CurSpeed, 30.0);
}

}  // namespace
}  // namespace qv::test
