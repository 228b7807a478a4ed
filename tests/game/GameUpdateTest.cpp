#include <gtest/gtest.h>

#include "game/BeltPath.h"
#include "game/GameFakes.h"
#include "game/GameUpdate.h"

namespace qv::test {
namespace {

constexpr int32_t kNow = 1000000;

class UpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    H.State.Game.GameMode = gmPlaying;
    H.State.Params.SharperOffset = {0, -30};
    H.State.Params.SharperDelay = 2000;
    H.MakeRow(3);
  }
  // The sharper at the middle point, due to move.
  void PlaceSharper() {
    TLevel& L = H.State.Level;
    L.SharperPoint = 1;
    L.SharperPos = {140, 170};
    L.SharperTime = kNow - 1;
  }

  GameHarness H;
  TGameUpdate Update{H.State, H.Svc};
  TLevel& L = H.State.Level;
};

TEST_F(UpdateTest, SharperMovesAndLosesPatience) {
  PlaceSharper();
  H.Rand.Ints = {1};  // the neighbour to the right, free
  Update.UpdateSharper(kNow);
  EXPECT_EQ(L.SharperPoint, 2);
  EXPECT_EQ(L.SharperPrevPoint, 1);
  EXPECT_EQ(L.SharperFrom, (TGamePoint{140, 170}));
  EXPECT_EQ(L.SharperPos, (TGamePoint{180, 170}));
  EXPECT_EQ(L.SharperTime, kNow + 2000);
  EXPECT_EQ(L.SharperPatience, 4);
  EXPECT_EQ(H.Screen.Dirty.back(), (TRect{0, 0, 800, 600})) << "the whole screen, last row and column too";

  Update.UpdateSharper(kNow + 1000);
  EXPECT_EQ(L.SharperPoint, 2) << "not due yet";

  H.Lay(1, 20);
  Update.UpdateSharper(kNow + 2001);
  EXPECT_EQ(L.SharperPoint, 2);
  EXPECT_EQ(L.SharperPatience, 3);
  EXPECT_EQ(H.State.Cards.size(), 1u);
}

TEST_F(UpdateTest, SharperStealsWhenOutOfPatience) {
  H.MakeRow(4);
  PlaceSharper();
  H.Lay(0, 20);
  const int32_t other = H.Lay(3, 22);
  L.SharperPatience = 0;
  H.State.Cards[static_cast<size_t>(other)].State = csEnclosed;
  H.Rand.Ints = {0};
  Update.UpdateSharper(kNow);
  ASSERT_EQ(H.State.Cards.size(), 1u);
  EXPECT_EQ(H.State.Cards[0].CType, 22);
  EXPECT_EQ(L.PointsBusy, (TIntegers{-1, -1, -1, 0}));
  EXPECT_EQ(H.State.Cards[0].State, csOpen) << "it has a free neighbour";
  ASSERT_EQ(H.Effects.Flights.size(), 1u);
  EXPECT_EQ(H.Effects.Flights[0].From, (TGamePoint{100, 200}));
  EXPECT_EQ(H.Effects.Flights[0].To, (TGamePoint{140, 170}));
  EXPECT_EQ(H.Effects.Flights[0].Picture, "9_kresti.png");
  EXPECT_EQ(L.SharperPatience, 5);
  EXPECT_EQ(L.SharperPoint, 1);
  EXPECT_EQ(L.SharperPrevPoint, 1);
  EXPECT_EQ(L.SharperTime, kNow + 2000);
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"StealCard.ogg"}));
  EXPECT_EQ(H.Field.CoverMasks, 1);
  EXPECT_EQ(H.State.FreePoints, (TIntegers{2}));
}

TEST_F(UpdateTest, CorneredSharperLeaves) {
  PlaceSharper();
  H.Lay(0, 20);
  L.Walls.push_back(TWall{});
  L.Walls[0].WallIn = {2};
  L.SharperPatience = 0;
  H.Rand.Ints = {0};
  EXPECT_FALSE(SharperCornered(H.State, TIntegers{0, 1}));
  EXPECT_TRUE(SharperCornered(H.State, TIntegers{0, 2}));
  Update.UpdateSharper(kNow);
  EXPECT_EQ(L.SharperPoint, -1);
  ASSERT_EQ(H.Effects.Pictures.size(), 1u);
  EXPECT_EQ(H.Effects.Pictures[0].second, "Shuller.png");
  EXPECT_TRUE(H.State.Cards.empty());

  // A free neighbour that is the thief's point is a way out.
  L.ThiefPoint = 2;
  EXPECT_FALSE(SharperCornered(H.State, TIntegers{0, 2}));
}

TEST_F(UpdateTest, AntiSharperSavesTheCard) {
  PlaceSharper();
  H.Lay(0, 20);
  L.SharperPatience = 0;
  H.State.Game.AntiSharper = 1;  // chance sqrt(10) / 100 = 0.0316
  H.Widgets.Captions["WUpgrade_LAntiSharper"] = "Saved!";
  H.Rand.Ints = {0};
  H.Rand.Floats = {0.0316};
  Update.UpdateSharper(kNow);
  ASSERT_EQ(H.State.Cards.size(), 1u);
  EXPECT_EQ(L.PointsBusy[0], 0);
  EXPECT_EQ(H.State.Cards[0].ShowTime, kNow + 600);
  ASSERT_EQ(H.Effects.Flights.size(), 2u);
  EXPECT_EQ(H.Effects.Flights[1].Start, kNow + 300);
  EXPECT_EQ(H.Effects.Flights[1].To, (TGamePoint{100, 200}));
  ASSERT_EQ(H.Effects.Scores.size(), 1u);
  EXPECT_EQ(H.Effects.Scores[0].second, "Saved!");
  EXPECT_EQ(H.Effects.Scores[0].first, (TGamePoint{120, 200}));

  L.SharperTime = kNow - 1;
  L.SharperPatience = 0;
  H.Rand.Ints = {0};
  H.Rand.Floats = {0.0317};
  Update.UpdateSharper(kNow);
  EXPECT_TRUE(H.State.Cards.empty()) << "the draw failed";
}

TEST_F(UpdateTest, BlockedSharperEndsOnlyItsOwnStep) {
  PlaceSharper();
  L.ThiefPoint = 0;
  H.State.Game.FullRedrawTime = kNow - 5;
  H.Rand.Ints = {0};
  Update.UpdateGameEvents(kNow);
  EXPECT_EQ(L.SharperPoint, 1);
  EXPECT_EQ(H.State.Game.FullRedrawTime, -1) << "the rest of the update still runs";
  EXPECT_EQ(H.Screen.Dirty.back(), (TRect{0, 0, 800, 600}));

  L.ThiefPoint = -1;
  L.Walls.push_back(TWall{});
  L.Walls[0].WallIn = {0};
  H.Rand.Ints = {0};
  Update.UpdateGameEvents(kNow);
  EXPECT_EQ(L.SharperPoint, 1);
}

TEST_F(UpdateTest, TimersCoverAndUpgrade) {
  TGame& G = H.State.Game;
  G.CoverUpdateTime = kNow - 1;
  G.UpgradeTime = kNow - 1;
  PlaceSharper();
  H.Rand.Ints = {1};
  Update.UpdateGameEvents(kNow);
  EXPECT_EQ(H.Field.CoverMasks, 1);
  EXPECT_EQ(G.CoverUpdateTime, -1);
  EXPECT_EQ(H.Screens.Upgrades, 1);
  EXPECT_EQ(L.SharperPoint, 1) << "nothing else happens in the upgrade pass";
}

TEST_F(UpdateTest, LevelCompleteOpensItsWindow) {
  TGame& G = H.State.Game;
  L.LevComplete = true;
  G.LevelEndTime = kNow;
  Update.UpdateGameEvents(kNow);
  EXPECT_EQ(G.GameMode, gmPlaying) << "not before the end time has passed";
  H.Rand.Floats = {0.7};
  H.Rand.Ints = {4};
  Update.UpdateGameEvents(kNow + 1);
  EXPECT_EQ(G.GameMode, gmFrozen);
  EXPECT_EQ(H.Widgets.Modals, (std::vector<std::string>{"WLevelComplete"}));
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"LevelDone.ogg"}));
  ASSERT_EQ(H.Sound.Music.size(), 1u);
  EXPECT_EQ(H.Sound.Music[0], std::make_tuple(std::string("vibe-pp.mo3"), 3000, 5, 1000));
  EXPECT_EQ(L.SweepStart, kNow + 1);
  EXPECT_EQ(L.SweepPattern, 5);
  EXPECT_EQ(H.Screen.Composed, 1);

  G.GameMode = gmPlaying;
  H.Rand.Floats = {0.5};
  Update.UpdateGameEvents(kNow + 2);
  EXPECT_EQ(std::get<2>(H.Sound.Music[1]), 13);
}

TEST_F(UpdateTest, TargetPromptHints) {
  TGame& G = H.State.Game;
  H.Lay(1, 20);
  H.State.HeldCard = H.Lay(2, 30);
  L.PointsBusy[2] = -1;
  L.TimePrompt = 3000;
  G.TakeTime = kNow - 3000;
  G.DropPackCapacity = 4;
  H.State.MousePos = {333, 444};
  Update.UpdateGameEvents(kNow);
  EXPECT_FALSE(G.PromptShown);
  Update.UpdateGameEvents(kNow + 1);
  EXPECT_TRUE(G.PromptShown);
  EXPECT_EQ(G.FullRedrawTime, kNow + 1301);
  ASSERT_EQ(H.Widgets.Hints.size(), 1u);
  EXPECT_EQ(H.Widgets.Hints[0].Hint, 7);
  EXPECT_EQ(H.Widgets.Hints[0].X, 731);
  EXPECT_EQ(H.Widgets.Hints[0].Y, 375);

  G.PromptShown = false;
  G.DropPack = {0, 0, 0, 0};
  Update.UpdateGameEvents(kNow + 1);
  EXPECT_EQ(H.Widgets.Hints.back().Hint, 5);
  EXPECT_EQ(H.Widgets.Hints.back().X, 333);

  G.PromptShown = false;
  H.State.BonusTargets = {{600, 50}};
  G.IntroFlags[3] = false;
  Update.UpdateGameEvents(kNow + 1);
  EXPECT_EQ(H.Widgets.Hints.back().Hint, 6);
  EXPECT_TRUE(G.IntroFlags[3]);

  G.PromptShown = false;
  H.State.TargetPoints = {0};
  const size_t before = H.Widgets.Hints.size();
  Update.UpdateGameEvents(kNow + 1);
  EXPECT_EQ(H.Widgets.Hints.size(), before) << "a card with targets needs no hint";
}

TEST_F(UpdateTest, CardFlashesEnd) {
  const int32_t a = H.Lay(0, 1);
  const int32_t b = H.Lay(1, 2);
  H.State.Cards[static_cast<size_t>(a)].ShowTime = kNow - 1;
  H.State.Cards[static_cast<size_t>(b)].ShowTime = kNow - 1;
  H.State.HeldCard = b;
  Update.UpdateCardFlashes(kNow);
  EXPECT_EQ(H.State.Cards[static_cast<size_t>(a)].ShowTime, -1);
  EXPECT_EQ(H.State.Cards[static_cast<size_t>(b)].ShowTime, kNow - 1);
  ASSERT_EQ(H.Screen.Dirty.size(), 1u);
  EXPECT_EQ(H.Screen.Dirty[0], (TRect{84, 175, 118, 227}));
}

TEST_F(UpdateTest, PauseShiftsEveryBelt) {
  L.Belts.resize(2);
  L.Belts[0].Cards = {MakeCard(1, btNone, kNow - 4000)};
  L.Belts[1].Cards = {MakeCard(2, btNone, kNow - 100), MakeCard(3, btNone, kNow + 50)};
  Update.PauseGameTimers();
  H.Clock.Advance(5000);
  Update.PauseGameTimers();  // a second pause does not restart the count
  H.Clock.Advance(5000);
  Update.ResumeGameTimers();
  EXPECT_EQ(L.Belts[0].Cards[0].BornTime, kNow + 6000);
  EXPECT_EQ(L.Belts[1].Cards[0].BornTime, kNow + 9900);
  EXPECT_EQ(L.Belts[1].Cards[1].BornTime, kNow + 10050);
  EXPECT_FALSE(H.State.PauseFlag);
  Update.ResumeGameTimers();
  EXPECT_EQ(L.Belts[0].Cards[0].BornTime, kNow + 6000);
}

TEST_F(UpdateTest, FrameByMode) {
  // Playing: the belts move by the clock's step since the previous frame.
  TBeltPathInfo path = MakeBeltPath("Set Linear; Set Timing 10; Path (0, 0) (1000, 0);");
  L.Belts.emplace_back();
  L.Belts[0].Path = std::move(path.Path);
  L.Belts[0].PathLength = 1000;
  L.Belts[0].PathTime = 10000;
  L.Belts[0].BornPeriod = 300;
  L.Belts[0].Cards = {MakeCard(1, btNone, kNow - 5000)};
  Update.UpdateFrame(kNow);
  EXPECT_EQ(H.State.FrameDelta, 0);
  L.Belts[0].PauseStart = kNow;
  L.Belts[0].PauseEnd = kNow + 7000;
  Update.UpdateFrame(kNow + 1000);  // Pause holds the card: factor -1
  EXPECT_EQ(H.State.FrameDelta, 1000);
  EXPECT_EQ(L.Belts[0].Cards[0].BornTime, kNow - 5000 + 1000);
  EXPECT_EQ(H.Sound.ScheduleUpdates, 2);
  EXPECT_EQ(H.Widgets.Animations, 2);

  // Lost: the game-over window once the time has passed.
  TGame& G = H.State.Game;
  G.GameMode = gmLost;
  G.GameOverTime = kNow + 3000;
  Update.UpdateFrame(kNow + 3000);
  EXPECT_EQ(G.GameMode, gmLost);
  Update.UpdateFrame(kNow + 3001);
  EXPECT_EQ(G.GameMode, gmFrozen);
  EXPECT_EQ(H.Widgets.Modals, (std::vector<std::string>{"WGameOver"}));
  EXPECT_EQ(H.Screen.Composed, 1);

  // Frozen: the sweep runs only behind a completed level.
  Update.UpdateFrame(kNow + 3002);
  EXPECT_EQ(H.Effects.Sweeps, 0);
  L.LevComplete = true;
  Update.UpdateFrame(kNow + 3003);
  EXPECT_EQ(H.Effects.Sweeps, 1);
}

TEST_F(UpdateTest, MapOpening) {
  TGame& G = H.State.Game;
  G.GameMode = gmMap;
  G.CurLevel = 8;
  G.MapOpenTime = kNow;
  G.MapNearComplete = {3, 6};
  H.Rand.Ints = {1};
  Update.UpdateFrame(kNow);
  EXPECT_TRUE(G.MapComplete.empty());
  Update.UpdateFrame(kNow + 1);
  EXPECT_EQ(G.MapComplete, (TIntegers{8, 9}));
  EXPECT_EQ(G.MapOpenTime, -1);
  EXPECT_EQ(G.MapLevel, 6);
  EXPECT_EQ(H.Screens.MapScreens, 1);
  EXPECT_EQ(H.Screens.MapSelections, 1);

  G.CurLevel = 4;
  G.MapOpenTime = kNow;
  Update.UpdateFrame(kNow + 2);
  EXPECT_EQ(G.MapComplete, (TIntegers{8, 9, 4}));
  EXPECT_EQ(H.Widgets.Modals, (std::vector<std::string>{"WGameComplete"}));
  EXPECT_EQ(G.MapLevel, -1);
  EXPECT_TRUE(G.MapNearComplete.empty());
}

}  // namespace
}  // namespace qv::test
