#include "game/Bonuses.h"

#include "game/ActionsFixture.h"
#include "game/CardActions.h"
#include "game/Thief.h"

namespace qv::test {
namespace {

TEST(FlightPaths, ScriptsInWholeNumbersWithSigns) {
  EXPECT_EQ(StraightPath({-5, 10}, {300, -40}), "Set Linear; Set Timing 0.3; Path (-5,10) (300,-40); Ending Stop;");
  EXPECT_EQ(WaitThenFlyPath({747, 400}, {-12, 0}),
            "Set Linear; Set Timing 0.3; Path (747,400) (747,400) (-12,0); Ending Stop;");
  EXPECT_EQ(FlyInPath({0, 500}, {516, 125}), "Set Linear; Set Timing 0.3; Path (0,500) (516,125); Ending Stop (516,125);");
}

class BonusesTest : public ActionsTest {
 protected:
  // Six plain cards of kinds 0..5 at x 100, 150, ... with a bonus card at `at`.
  void FillBelt(int32_t at, int32_t bonus) {
    for (int32_t i = 0; i < 6; ++i) AddBeltCard(i, 100 + 50 * i, 475, i == at ? bonus : btNone);
  }
  TIntegers BeltKinds() {
    TIntegers kinds;
    for (const TCard& c : Belt().Cards) kinds.push_back(c.CType);
    return kinds;
  }
  std::vector<std::string> FlightPictures() const {
    std::vector<std::string> pictures;
    for (const ScriptedFlight& f : H.Effects.ScriptedFlights) pictures.push_back(f.Picture);
    return pictures;
  }

  TBonusActions B{H.State, H.Svc};
};

TEST_F(BonusesTest, CropRemovesTwoEitherSide) {
  FillBelt(0, btCrop);
  B.UseBonusCard(0, 0);
  EXPECT_EQ(BeltKinds(), (TIntegers{3, 4, 5})) << "first card: it and the two behind it";
  EXPECT_TRUE(Played("Remover.ogg"));
  ASSERT_EQ(H.Effects.ScriptedFlights.size(), 3u);
  EXPECT_EQ(H.Effects.ScriptedFlights[0].Script, "Set Linear; Set Timing 0.3; Path (100,475) (0,500); Ending Stop;");
  EXPECT_EQ(H.Effects.ScriptedFlights[0].Picture, "CardCrop.png");
  EXPECT_EQ(H.Effects.ScriptedFlights[0].Start, kNow);

  Belt().Cards.clear();
  FillBelt(5, btCrop);
  B.UseBonusCard(0, 5);
  EXPECT_EQ(BeltKinds(), (TIntegers{0, 1, 2}));

  Belt().Cards.clear();
  H.Effects.ScriptedFlights.clear();
  FillBelt(2, btCrop);
  B.UseBonusCard(0, 2);
  EXPECT_EQ(BeltKinds(), (TIntegers{5}));
  EXPECT_EQ(FlightPictures(), (std::vector<std::string>{"CardCrop.png", "5_piki.png", "6_piki.png", "3_piki.png",
                                                        "2_piki.png"}));

  Belt().Cards.clear();
  AddBeltCard(0, 100, 475, btCrop);
  B.UseBonusCard(0, 0);
  EXPECT_TRUE(Belt().Cards.empty());
}

TEST_F(BonusesTest, ReverseAndPauseEndEachOther) {
  FillBelt(1, btReverse);
  Belt().Cards[2].BonusType = btPause;
  Belt().PauseEnd = kNow + 3000;
  B.UseBonusCard(0, 1);
  EXPECT_EQ(Belt().ReverseEnd, kNow + 2000);
  EXPECT_EQ(Belt().ReverseStart, kNow);
  EXPECT_EQ(Belt().BonusTime, kNow);
  EXPECT_EQ(Belt().PauseEnd, -1);
  EXPECT_EQ(Belt().Cards.size(), 5u);
  H.Clock.Set(kNow + 100);
  B.UseBonusCard(0, 1);
  EXPECT_EQ(Belt().PauseStart, kNow + 100);
  EXPECT_EQ(Belt().PauseEnd, kNow + 7100);
  EXPECT_EQ(Belt().ReverseEnd, -1);
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"Reverser.ogg", "Pause.ogg"}));
}

TEST_F(BonusesTest, TakingABonusCardRunsItsAction) {
  FillBelt(0, btPause);
  TCardActions A(H.State, H.Svc);
  EXPECT_FALSE(A.TakeCard(110, 480));
  EXPECT_EQ(Belt().PauseEnd, kNow + 7000);
  EXPECT_EQ(Belt().Cards.size(), 5u);
}

TEST_F(BonusesTest, FillInFliesEveryRankUpToTheCard) {
  const int32_t five = LayOnBonusPlace(1, Kind(2, 3));
  const TGamePoint pos{524, 75};
  B.FlyBonusPlaceCards(1, pos, kNow + 1000);
  EXPECT_EQ(FlightPictures(), (std::vector<std::string>{"A_piki.png", "2_piki.png", "3_piki.png", "4_piki.png",
                                                        "5_bubny.png"}));
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(H.Effects.ScriptedFlights[i].Start, kNow + 1000 + 100 * int32_t(i));
    EXPECT_EQ(H.Effects.ScriptedFlights[i].Lifetime, 600);
    EXPECT_EQ(H.Effects.ScriptedFlights[i].Script,
              "Set Linear; Set Timing 0.3; Path (0,500) (540,100); Ending Stop (540,100);");
  }
  EXPECT_EQ(St().Cards[size_t(five)].ShowTime, kNow + 1500);
  EXPECT_EQ(St().Game.FullRedrawTime, kNow + 1500);

  H.Effects.ScriptedFlights.clear();
  St().Game.FullRedrawTime = kNow + 5000;
  const int32_t ace = LayOnBonusPlace(0, Kind(1, 12));
  B.FlyBonusPlaceCards(0, {484, 75}, kNow);
  EXPECT_EQ(FlightPictures(), (std::vector<std::string>{"A_kresti.png"}));
  EXPECT_EQ(St().Cards[size_t(ace)].ShowTime, kNow + 100);
  EXPECT_EQ(St().Game.FullRedrawTime, kNow + 5000);

  St().Level.BPPointsBusy[0] = -1;
  B.FlyBonusPlaceCards(0, {484, 75}, kNow);
  EXPECT_EQ(H.Effects.ScriptedFlights.size(), 1u);
}

TEST_F(BonusesTest, KingCompletionTimes) {
  LayOnBonusPlace(0, Kind(1, 11));
  St().Game.Mode = dmNoLose;
  B.CompleteBonusPlace(0, {484, 75});
  ASSERT_EQ(H.Effects.ScriptedFlights.size(), 13u);
  EXPECT_EQ(H.Effects.ScriptedFlights[0].Picture, "A_piki.png");
  EXPECT_EQ(H.Effects.ScriptedFlights[0].Start, kNow + 900);
  EXPECT_EQ(H.Effects.ScriptedFlights[12].Picture, "K_kresti.png");
  EXPECT_EQ(H.Effects.ScriptedFlights[12].Start, kNow - 300);
  EXPECT_EQ(H.Effects.ScriptedFlights[12].Script,
            "Set Linear; Set Timing 0.3; Path (500,100) (500,100) (0,500); Ending Stop;");
  EXPECT_EQ(St().Game.TotalScore, 0);
  EXPECT_TRUE(H.Effects.Scores.empty());
  EXPECT_TRUE(Played("BonusDone.ogg"));
}

TEST_F(BonusesTest, BonusTargetsForTheHeldCard) {
  LayOnBonusPlace(0, Kind(0, 12));  // an Ace
  LayOnBonusPlace(1, Kind(0, 7));   // a Nine
  St().Level.BonusPlaceX = 10;
  Hold(Kind(3, 0));  // a Two
  B.UpdateBonusPlaceTargets();
  EXPECT_EQ(St().BonusTargets, (TPoints{{510, 100}}));
  St().Cards.back().BonusType = btJoker;
  B.UpdateBonusPlaceTargets();
  EXPECT_EQ(St().BonusTargets, (TPoints{{510, 100}, {550, 100}}));
  St().HeldCard = -1;
  B.UpdateBonusPlaceTargets();
  EXPECT_TRUE(St().BonusTargets.empty());
}

TEST_F(BonusesTest, ClearBelt) {
  FillBelt(3, btReverse);
  B.ClearBelt();
  EXPECT_TRUE(Belt().Cards.empty());
  EXPECT_EQ(H.Effects.ScriptedFlights.size(), 6u);
  EXPECT_EQ(H.Effects.ScriptedFlights[3].Picture, "CardReverce.png");
  EXPECT_EQ(St().Level.BeltClears, 4);
  EXPECT_TRUE(Played("Remover.ogg"));
}

TEST_F(BonusesTest, ClearDropPackKeepsTheTableValid) {
  // Cards 0..8 of kinds 10..18; 1, 4 and 8 lie on points, 5, 2, 7 in the pack.
  for (int32_t i = 0; i < 9; ++i) St().Cards.push_back(MakeCard(10 + i));
  St().Level.PointsBusy = {1, 4, -1, 8, -1};
  St().Game.DropPack = {5, 2, 7};
  St().Cards[7].BonusType = btJoker;
  St().Level.BPPointsBusy = {6, -1};
  B.ClearDropPack();
  ASSERT_EQ(St().Cards.size(), 6u);
  EXPECT_EQ(St().Level.PointsBusy, (TIntegers{1, 3, -1, 5, -1}));
  EXPECT_EQ(St().Cards[3].CType, 14);
  EXPECT_EQ(St().Cards[5].CType, 18);
  EXPECT_EQ(St().Level.BPPointsBusy, (TIntegers{4, -1}));
  EXPECT_EQ(St().Cards[4].CType, 16);
  EXPECT_TRUE(St().Game.DropPack.empty());
  EXPECT_EQ(St().Level.DropPackClears, 4);
  ASSERT_EQ(H.Effects.ScriptedFlights.size(), 3u);
  EXPECT_EQ(H.Effects.ScriptedFlights[0].Picture, "joker.png") << "the top card first";
  EXPECT_EQ(H.Effects.ScriptedFlights[2].Start, kNow + 600);
  EXPECT_EQ(H.Effects.ScriptedFlights[2].Lifetime, 600);
  EXPECT_EQ(H.Effects.ScriptedFlights[2].Script,
            "Set Linear; Set Timing 0.3; Path (747,400) (747,400) (0,500); Ending Stop;");
  EXPECT_EQ(H.Widgets.Captions["WGame_LDropPackCount"], "3");

  H.Sound.Samples.clear();
  B.ClearDropPack();
  EXPECT_EQ(St().Level.DropPackClears, 3) << "an empty pack still uses a clear";
  EXPECT_TRUE(Played("Remover.ogg"));
}

class ThiefTest : public ActionsTest {
 protected:
  void SetUp() override {
    ActionsTest::SetUp();
    St().Level.ThiefPoint = 2;
    St().Level.ThiefPos = {170, 150};
    St().Level.ThiefPoints = {1, 3};
  }
  TThief T{H.State, H.Svc};
};

TEST_F(ThiefTest, TakesUpToThreeNeighboursButNoPresetCard) {
  for (int32_t p : {0, 1, 2, 4}) H.Lay(p, Kind(0, p));
  EXPECT_EQ(ThiefVictims(St(), 3), (TIntegers{2, 4, 1}));
  St().Level.PresetPoints = {4};
  St().Cards[0].State = csEnclosed;
  const int32_t held = Hold(Kind(1, 9));
  St().Cards[size_t(held)].X = 500;
  St().Level.PointsBusy[3] = -1;
  T.ThiefStealsCard(3);
  EXPECT_EQ(St().HeldCard, -1);
  EXPECT_TRUE(St().Level.ThiefPoints.empty());
  EXPECT_EQ(St().Level.PointsBusy, (TIntegers{0, -1, -1, -1, 1}));
  ASSERT_EQ(St().Cards.size(), 2u);
  EXPECT_EQ(St().Cards[1].CType, Kind(0, 4));
  EXPECT_EQ(St().Cards[0].State, csOpen) << "its neighbour went";
  ASSERT_EQ(H.Effects.Flights.size(), 3u);
  EXPECT_EQ(H.Effects.Flights[0].From, PointAt(3));
  EXPECT_EQ(H.Effects.Flights[0].To, (TGamePoint{196, 200}));
  EXPECT_EQ(H.Effects.Flights[0].Picture, "J_kresti.png");
  EXPECT_EQ(H.Effects.Flights[1].From, PointAt(2));
  EXPECT_EQ(H.Effects.Flights[2].From, PointAt(1));
  ASSERT_EQ(H.Effects.Pictures.size(), 1u);
  EXPECT_EQ(H.Effects.Pictures[0].second, "Vor.png");
  EXPECT_EQ(H.Effects.Pictures[0].first, (TGamePoint{170, 150}));
  EXPECT_EQ(H.Field.CoverMasks, 1);
  EXPECT_TRUE(Played("StealCard.ogg"));
  EXPECT_EQ(H.Screen.Dirty, (std::vector<TRect>{TRect{0, 0, 800, 600}})) << "the whole screen, last row and column too";
}

TEST_F(ThiefTest, AloneTheCardGoesAlone) {
  Hold(Kind(0, 3));
  EXPECT_TRUE(ThiefVictims(St(), 3).empty());
  T.ThiefStealsCard(3);
  EXPECT_TRUE(St().Cards.empty());
  EXPECT_EQ(H.Effects.Flights.size(), 1u);
}

TEST_F(ThiefTest, AntiSharperSavesSomeCards) {
  H.Lay(2, Kind(0, 2));
  H.Lay(4, Kind(0, 4));
  St().Game.AntiSharper = 10;  // a chance of 0.1
  H.Rand.Floats = {0.1, 0.11};
  H.Widgets.Captions["WUpgrade_LAntiSharper"] = "Saved";
  St().Level.ThiefPoints = {3};
  TCardActions A(H.State, H.Svc);
  Hold(Kind(0, 3));
  ASSERT_TRUE(A.PutCard(PointAt(3).X, PointAt(3).Y));
  EXPECT_EQ(St().Level.PointsBusy, (TIntegers{-1, -1, 0, -1, -1}));
  ASSERT_EQ(St().Cards.size(), 1u);
  EXPECT_EQ(St().Cards[0].ShowTime, kNow + 600);
  ASSERT_EQ(H.Effects.Flights.size(), 4u);
  EXPECT_EQ(H.Effects.Flights[2].From, (TGamePoint{196, 200}));
  EXPECT_EQ(H.Effects.Flights[2].To, PointAt(2));
  EXPECT_EQ(H.Effects.Flights[2].Start, kNow + 300);
  ASSERT_EQ(H.Effects.Scores.size(), 1u);
  EXPECT_EQ(H.Effects.Scores[0].second, "Saved");
  EXPECT_EQ(H.Effects.Scores[0].first, (TGamePoint{PointAt(2).X + 20, PointAt(2).Y}));
  EXPECT_EQ(St().Game.TotalScore, 0) << "a stolen card scores nothing";
}

}  // namespace
}  // namespace qv::test
