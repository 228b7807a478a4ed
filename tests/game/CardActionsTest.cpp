#include "game/CardActions.h"

#include "game/ActionsFixture.h"
#include "game/Bonuses.h"
#include "game/Scoring.h"

namespace qv::test {
namespace {

class CardActionsTest : public ActionsTest {
 protected:
  TCardActions A{H.State, H.Svc};
};

TEST_F(CardActionsTest, TakeFromBeltThenPutOnAFittingPoint) {
  H.Lay(0, Kind(0, 2));  // a Four
  St().Game.Economy = 10;
  St().Game.TotalScore = 100;
  AddBeltCard(Kind(1, 3), 300, 475);  // a Five
  TCard queued = MakeCard(Kind(1, 3), btNone, kNow + 50);
  queued.X = 400;
  queued.Y = 475;
  Belt().Cards.push_back(queued);

  EXPECT_FALSE(A.TakeCard(410, 480)) << "a card still queued at the start cannot be taken";
  ASSERT_TRUE(A.TakeCard(310, 480));
  EXPECT_EQ(Belt().Cards.size(), 1u);
  EXPECT_EQ(St().Game.TakeTime, kNow);
  EXPECT_TRUE(Played("GetCard.ogg"));
  EXPECT_EQ(St().TargetPoints, (TIntegers{1}));

  const int32_t held = St().HeldCard;
  ASSERT_TRUE(A.PutCard(PointAt(1).X + 5, PointAt(1).Y));
  EXPECT_EQ(St().Level.PointsBusy[1], held);
  EXPECT_EQ(St().Cards[size_t(held)].X, PointAt(1).X - 16);
  EXPECT_EQ(St().Cards[size_t(held)].Y, PointAt(1).Y - 25);
  EXPECT_EQ(St().Game.TotalScore, 113);
  EXPECT_EQ(H.Widgets.Captions["WGame_LScoreCount"], "113");
  EXPECT_EQ(St().Game.CoverUpdateTime, kNow + 500);
  EXPECT_TRUE(Played("PutCard.ogg"));
  EXPECT_EQ(H.Screens.PointScripts, (TIntegers{1}));
  EXPECT_FALSE(St().Level.LevComplete);
}

TEST_F(CardActionsTest, FirstCandidatePointDecides) {
  // Two free points within 24 pixels of the drop; both have a busy neighbour.
  TLevel& L = St().Level;
  L.Points[1] = {300, 300};
  L.Points[3] = {310, 300};
  H.Lay(2, Kind(0, 5));  // a Seven between them

  // Refused by rank on point 1 (a street going up wants an Eight): point 3 takes it.
  L.StreetTypes[1] = stUp;
  Hold(Kind(0, 4));
  ASSERT_TRUE(A.PutCard(305, 301));
  EXPECT_EQ(L.PointsBusy[3], 1);
  EXPECT_EQ(L.PointsBusy[1], -1);

  // Refused by its zone on point 1: the search stops though point 3 would fit.
  L.PointsBusy[3] = -1;
  L.Zones.push_back(L.Zones[0]);
  L.Zones[1].Suits = 0x01;  // spades only
  L.PointZone[1] = 1;
  L.StreetTypes[1] = stNone;
  Hold(Kind(2, 6));
  EXPECT_FALSE(A.PutCard(305, 301));
  EXPECT_EQ(L.PointsBusy[3], -1);
  EXPECT_TRUE(Played("Error.ogg"));
}

TEST_F(CardActionsTest, LastPointSetsTheLevelEndEvenWithAWall) {
  for (int p = 0; p < 4; ++p) H.Lay(p, Kind(0, p));  // Two, Three, Four, Five
  St().Level.Walls.push_back(TWall{"w", {}, {4}, "Wall.png", 0, 0, false});
  Hold(Kind(0, 4));
  ASSERT_TRUE(A.PutCard(PointAt(4).X, PointAt(4).Y));
  EXPECT_TRUE(St().Level.LevComplete);
  EXPECT_EQ(St().Game.LevelEndTime, kNow + 1000);
  EXPECT_EQ(H.Sound.MusicFades, (std::vector<int32_t>{1000}));
  EXPECT_TRUE(Played("WallDone.ogg"));
}

TEST_F(CardActionsTest, TutorialGates) {
  St().Game.CurLevel = kIntroLevel;
  St().Game.IntroFlags[0] = false;
  St().Game.IntroFlags[1] = false;
  H.Widgets.VisibleHints = {1};
  H.Lay(0, Kind(0, 2));
  AddBeltCard(Kind(1, 3), 300, 475);
  AddBeltCard(Kind(1, 1), 360, 475);

  EXPECT_FALSE(A.TakeCard(370, 480)) << "only the first card may be taken";
  EXPECT_FALSE(St().Game.IntroFlags[0]);
  ASSERT_TRUE(A.TakeCard(310, 480));
  EXPECT_TRUE(St().Game.IntroFlags[0]);
  EXPECT_EQ(H.Widgets.HiddenHints, (std::vector<int>{1}));

  St().MousePos = {40, 500};  // on the belt path
  EXPECT_FALSE(A.ReturnCard()) << "no return before the first put";
  EXPECT_FALSE(A.PutCard(740, 400)) << "no drop pack before the first put";
  EXPECT_TRUE(St().Game.DropPack.empty());
  EXPECT_TRUE(A.PutCard(PointAt(1).X, PointAt(1).Y));
  EXPECT_TRUE(St().Game.IntroFlags[1]);
}

TEST_F(CardActionsTest, JokerTakesAKindOfItsZone) {
  TLevel& L = St().Level;
  L.Zones[0].Suits = 0x04;      // diamonds
  L.Zones[0].Orders = 1u << 9;  // Jacks
  Hold(0, btJoker);
  EXPECT_FALSE(A.PutCard(PointAt(2).X, PointAt(2).Y)) << "no busy neighbour";
  H.Lay(3, Kind(0, 0));
  ASSERT_TRUE(A.PutCard(PointAt(2).X, PointAt(2).Y));
  const TCard& joker = St().Cards[size_t(L.PointsBusy[2])];
  EXPECT_EQ(joker.CType, Kind(2, 9));
  EXPECT_TRUE(Played("PutJoker.ogg"));
  ASSERT_EQ(H.Effects.Flashes.size(), 6u);
  EXPECT_EQ(H.Effects.Flashes[5].Start, kNow + 500);
  EXPECT_EQ(H.Effects.Flashes[5].Lifetime, 100);
  EXPECT_EQ(H.Effects.Flashes[0].Origin, (TGamePoint{PointAt(2).X, PointAt(2).Y}));
  EXPECT_EQ(joker.ShowTime, kNow + 600);

  // A zone that allows no rank has nothing for a joker.
  L.Zones[0].Orders = 0;
  Hold(0, btJoker);
  EXPECT_FALSE(A.PutCard(PointAt(1).X, PointAt(1).Y));
}

TEST_F(CardActionsTest, SharperAndWallPointsTakeNoCard) {
  H.Lay(0, Kind(0, 2));
  St().Level.SharperPoint = 1;
  Hold(Kind(0, 3));
  EXPECT_FALSE(A.PutCard(PointAt(1).X, PointAt(1).Y));
  St().Level.SharperPoint = -1;
  St().Level.Walls.push_back(TWall{"w", {1}, {3}, "Wall.png", 0, 0, false});
  EXPECT_FALSE(A.PutCard(PointAt(1).X, PointAt(1).Y));
  St().Level.Walls[0].Crashed = true;
  EXPECT_TRUE(A.PutCard(PointAt(1).X, PointAt(1).Y));
}

TEST_F(CardActionsTest, BonusPlaceTakesTheNextRank) {
  St().Game.Mode = dmHard;
  St().Game.Economy = 5;
  St().Game.TotalScore = 7;
  LayOnBonusPlace(0, Kind(1, 3));  // a Five
  Hold(Kind(2, 5));                // a Seven does not fit
  EXPECT_FALSE(A.PutCard(500, 100));
  St().Cards.pop_back();
  St().HeldCard = -1;
  // A Six from the drop pack: its index is below the lying card's.
  St().Cards.insert(St().Cards.begin(), MakeCard(Kind(3, 4)));
  St().Level.BPPointsBusy = {1, -1};
  St().Cards[0].State = csDropPack;
  St().Game.DropPack = {0};
  ASSERT_TRUE(A.TakeCard(740, 400));
  EXPECT_EQ(St().HeldCard, 0);
  EXPECT_EQ(H.Widgets.Captions["WGame_LDropPackCount"], "3");
  ASSERT_TRUE(A.PutCard(500, 100));
  ASSERT_EQ(St().Cards.size(), 1u);
  EXPECT_EQ(St().Level.BPPointsBusy, (TIntegers{0, -1}));
  EXPECT_EQ(St().Cards[0].CType, Kind(3, 4));
  EXPECT_EQ(St().Cards[0].X, 484);
  EXPECT_EQ(St().Cards[0].Y, 75);
  EXPECT_EQ(H.Widgets.Captions["WGame_LScoreCount"], "7") << "the label lags behind the bonus-place score";
  EXPECT_EQ(St().Game.TotalScore, 7 + BonusPlacePoints(dmHard, 5));
  ASSERT_EQ(H.Effects.Scores.size(), 1u);
  EXPECT_EQ(H.Effects.Scores[0].second, "12");
  EXPECT_EQ(H.Effects.Scores[0].first, (TGamePoint{514, 120}));
  EXPECT_TRUE(Played("PutCardOnBonus.ogg"));
}

TEST_F(CardActionsTest, KingCompletesTheBonusPlace) {
  St().Game.TotalScore = 0;
  H.Lay(0, Kind(0, 0));
  LayOnBonusPlace(1, Kind(0, 10));  // a Queen
  Hold(Kind(3, 11));                // the King of hearts
  ASSERT_TRUE(A.PutCard(540, 100));
  EXPECT_EQ(St().Game.UpgradeTime, kNow + 1500);
  EXPECT_EQ(St().Level.BPPointsBusy, (TIntegers{-1, -1}));
  ASSERT_EQ(St().Cards.size(), 1u);
  EXPECT_EQ(St().Level.PointsBusy[0], 0);
  EXPECT_EQ(St().Game.TotalScore, 200);
  ASSERT_EQ(H.Effects.ScriptedFlights.size(), 13u);
  EXPECT_EQ(H.Effects.ScriptedFlights[12].Picture, "K_chervi.png");
  EXPECT_TRUE(Played("BonusDone.ogg"));

  // Nothing goes on a King.
  LayOnBonusPlace(0, Kind(0, 11));
  Hold(Kind(1, 12));
  EXPECT_FALSE(A.PutCard(500, 100));
}

TEST_F(CardActionsTest, DropPackTakesUntilFull) {
  for (int i = 0; i < 3; ++i) {
    Hold(Kind(0, i));
    ASSERT_TRUE(A.PutCard(740, 400));
  }
  EXPECT_EQ(St().Game.DropPack, (TIntegers{0, 1, 2}));
  EXPECT_EQ(St().Cards[2].State, csDropPack);
  EXPECT_EQ(H.Widgets.Captions["WGame_LDropPackCount"], "0");
  Hold(Kind(0, 5));
  H.Sound.Samples.clear();
  EXPECT_FALSE(A.PutCard(740, 400));
  EXPECT_TRUE(Played("Error.ogg"));
  St().HeldCard = -1;
  St().Cards[2].QuestCard = true;
  ASSERT_TRUE(A.TakeCard(740, 400));
  EXPECT_EQ(St().HeldCard, 2);
  EXPECT_FALSE(St().Cards[2].QuestCard);
}

TEST_F(CardActionsTest, ReturnToTheBelt) {
  AddBeltCard(Kind(1, 3), 300, 475);
  Belt().Cards[0].BornTime = kNow - 3000;
  Hold(Kind(0, 7));
  St().Cards.back().QuestCard = true;
  St().MousePos = {600, 300};
  ASSERT_TRUE(A.ReturnCard());
  ASSERT_EQ(Belt().Cards.size(), 2u);
  EXPECT_EQ(Belt().Cards[0].CType, Kind(0, 7));
  EXPECT_FALSE(Belt().Cards[0].QuestCard);
  EXPECT_EQ(Belt().Cards[0].BornTime, kNow - 3000 - 300 - 2 * 260);
  EXPECT_EQ(Belt().Cards[0].ShowTime, kNow + 300);
  EXPECT_TRUE(St().Cards.empty());
  ASSERT_EQ(H.Effects.ScriptedFlights.size(), 1u);
  EXPECT_EQ(H.Effects.ScriptedFlights[0].Script,
            "Set Linear; Set Timing 0.3; Path (600,300) (382,500); Ending Stop;");
  EXPECT_TRUE(Played("ReturnCard.ogg"));

  // Dropped near the path it goes back; far from everything it stays held.
  Hold(Kind(0, 8));
  EXPECT_FALSE(A.PutCard(600, 300));
  EXPECT_TRUE(Played("Error.ogg"));
  EXPECT_TRUE(A.PutCard(600, 530));
  EXPECT_EQ(Belt().Cards.size(), 3u);
}

TEST_F(CardActionsTest, ReturnOntoAnEmptyOrMissingBelt) {
  Hold(Kind(0, 7));
  St().MousePos = {10, 500};
  ASSERT_TRUE(A.ReturnCard());
  ASSERT_EQ(Belt().Cards.size(), 1u);
  EXPECT_EQ(Belt().Cards[0].BornTime, kNow) << "a card alone on its belt starts at the start";

  // A belt too short to sample takes nothing back, and neither does a level
  // without belts.
  TBeltPathInfo tiny = MakeBeltPath("Set Linear; Set Timing 10; Path (600, 300) (602, 300);");
  Belt().Path = std::move(tiny.Path);
  Belt().PathLength = 2;
  Hold(Kind(0, 8));
  EXPECT_FALSE(A.PutCard(601, 300));
  St().Level.Belts.clear();
  EXPECT_FALSE(A.PutCard(601, 300));
  EXPECT_FALSE(A.ReturnCard());
  EXPECT_EQ(St().HeldCard, 0);
}

TEST_F(CardActionsTest, ClickMissesShowTheZoneHint) {
  H.Lay(0, Kind(0, 2));
  St().Level.Zones[0].Picture = "Forest";
  Hold(Kind(0, 8));
  EXPECT_FALSE(A.PutCard(PointAt(1).X + 3, PointAt(1).Y));
  ASSERT_EQ(H.Widgets.NamedHints.size(), 1u);
  EXPECT_EQ(H.Widgets.NamedHints[0].first, "WGame_Hint_Forest");
  EXPECT_EQ(H.Widgets.NamedHints[0].second.Y, PointAt(1).Y - 30);

  // The tutorial points at the first target instead.
  St().Game.CurLevel = kIntroLevel;
  St().TargetPoints = {1};
  EXPECT_FALSE(A.PutCard(700, 100));
  ASSERT_EQ(H.Widgets.Hints.size(), 1u);
  EXPECT_EQ(H.Widgets.Hints[0].Hint, 3);
  EXPECT_EQ(St().Game.TakeTime, kNow - 1200);
  EXPECT_TRUE(St().Game.PromptShown);
}

TEST_F(CardActionsTest, RightClickSendsABonusCardBack) {
  AddBeltCard(0, 300, 475, btPause);
  St().Level.Belts.emplace_back();
  St().Level.Belts[1].Cards = {MakeCard(1), MakeCard(2), MakeCard(3, btCrop, kNow - 10)};
  St().Level.Belts[1].Cards[2].X = 100;
  St().Level.Belts[1].Cards[2].Y = 100;
  St().MousePos = {110, 110};
  A.MouseDown(TGameButton::Right);
  EXPECT_EQ(Belt().Cards.size(), 1u) << "index 2 does not exist on the first belt";
  St().MousePos = {310, 480};
  A.MouseDown(TGameButton::Right);
  EXPECT_TRUE(Belt().Cards.empty());
  ASSERT_EQ(H.Effects.ScriptedFlights.size(), 1u);
  EXPECT_EQ(H.Effects.ScriptedFlights[0].Picture, "CardPause.png");
  EXPECT_EQ(H.Effects.ScriptedFlights[0].Script, "Set Linear; Set Timing 0.3; Path (300,475) (0,500); Ending Stop;");
}

TEST_F(CardActionsTest, NothingOutsidePlay) {
  AddBeltCard(Kind(1, 3), 300, 475);
  St().Game.GameMode = gmFrozen;
  EXPECT_FALSE(A.TakeCard(310, 480));
}

}  // namespace
}  // namespace qv::test
