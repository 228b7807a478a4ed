#include <gtest/gtest.h>

#include "EffectFixtures.h"
#include "FieldFakes.h"
#include "game/GameEffects.h"
#include "game/GameFakes.h"
#include "game/LevelSurfaces.h"

namespace qv::test {
namespace {

constexpr int32_t kNow = 1000000;
constexpr TRect kWholeScreen{0, 0, 800, 600};

class EffectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    H.Clock.Set(kNow);
    Effects.Templates = Templates.All();
    Effects.CursorHeight = 40;
  }
  fx::TVector3 FirstParticle(size_t entry) {
    fx::TVector3 at;
    S.Effects[entry].Effect->ForEachParticle([&](const fx::TQelParticleSystem&, const fx::TQelParticle& p) {
      at = p.Position();
    });
    return at;
  }

  GameHarness H;
  TGameState& S = H.State;
  FakeCanvas Canvas;
  FakeHost Host;
  FixtureTemplates Templates;
  TLevelSurfaces Field{H.State, H.Svc, Canvas, Host};
  TGameEffects Effects{H.State, H.Svc, Field};
};

TEST_F(EffectsTest, FlightCarriesItsPathAndEndsWithAFullRedraw) {
  Effects.StartCardFlyEffect({100, 200}, {300, 400}, "7_bubny.png", kNow);
  ASSERT_EQ(S.Effects.size(), 1u);
  const TPartEffect& e = S.Effects[0];
  EXPECT_EQ(e.PathScript, "Set Linear; Set Timing 0.3; Path (100,200) (300,400); Ending Stop;");
  EXPECT_EQ(e.Picture, "7_bubny.png");
  EXPECT_EQ(e.Kind, 1);
  EXPECT_EQ(e.Clip, kWholeScreen);
  EXPECT_EQ(e.X, 0);

  Effects.UpdateEffects(kNow + 150);
  ASSERT_EQ(S.Effects.size(), 1u);
  EXPECT_NEAR(FirstParticle(0).x, 200.0f, 1.0f);
  EXPECT_NEAR(FirstParticle(0).y, 300.0f, 1.0f);
  EXPECT_EQ(H.Screen.OnlyRects, 0);

  Effects.UpdateEffects(kNow + 301);
  EXPECT_TRUE(S.Effects.empty());
  EXPECT_EQ(H.Screen.OnlyRects, 1);
  EXPECT_EQ(H.Screen.Dirty, (std::vector<TRect>{kWholeScreen})) << "the whole screen, last row and column too";
}

TEST_F(EffectsTest, EveryEntryOwnsItsCopy) {
  Effects.StartCardFlyEffect({0, 0}, {100, 0}, "a.png", kNow);
  Effects.StartCardFlyEffect({0, 0}, {0, 100}, "b.png", kNow);
  Effects.UpdateEffects(kNow + 299);
  ASSERT_EQ(S.Effects.size(), 2u);
  EXPECT_NEAR(FirstParticle(0).x, 100.0f, 1.0f);
  EXPECT_NEAR(FirstParticle(0).y, 0.0f, 1.0f);
  EXPECT_NEAR(FirstParticle(1).x, 0.0f, 1.0f);
  EXPECT_NEAR(FirstParticle(1).y, 100.0f, 1.0f);
  EXPECT_EQ(Templates.Flight->IndexOfFunction("FContour") >= 0, true);
  S.Effects.clear();
  Effects.StartCardFlyEffect({5, 5}, {5, 5}, "c.png", kNow);
  EXPECT_EQ(S.Effects.size(), 1u) << "the template is still whole after its copies are gone";
}

TEST_F(EffectsTest, StartsOfEveryKind) {
  H.Surfaces.Sizes["Shuller.png"] = {40, 61};
  Effects.StartPictureEffect({100, 50}, "Shuller.png");
  Effects.StartPictureEffect({100, 50}, "Missing.png");
  Effects.ShowScoreEffect("50", {30, 40}, -1);
  Effects.ShowScoreEffect("25", {30, 40}, kNow + 300);
  Effects.StartCardTurnEffect("card_animeRP.png", {200, 300});
  Effects.StartWallCrashEffect("WallA.png", {10, 20});
  Effects.StartSwapFlash("3_piki.png", {16, 25}, kNow + 200, 100);
  Effects.StartCardFlight("joker.png", "Set Linear; Set Timing 0.3; Path (0,0) (10,10); Ending Stop;", kNow, 100);
  ASSERT_EQ(S.Effects.size(), 8u);
  EXPECT_EQ((TGamePoint{S.Effects[0].X, S.Effects[0].Y}), (TGamePoint{120, 80})) << "integer halves";
  EXPECT_EQ((TGamePoint{S.Effects[1].X, S.Effects[1].Y}), (TGamePoint{0, 0}));
  EXPECT_EQ(S.Effects[2].Picture, "+50");
  EXPECT_TRUE(S.Effects[2].IsText);
  EXPECT_EQ(S.Effects[2].Name, "ScoreEffect");
  EXPECT_EQ(S.Effects[2].Effect->StartTime, static_cast<uint32_t>(kNow)) << "-1 is now";
  EXPECT_EQ(S.Effects[3].Effect->StartTime, static_cast<uint32_t>(kNow + 300));
  EXPECT_EQ(S.Effects[4].Kind, 10);
  EXPECT_EQ(S.Effects[5].Kind, 20);
  EXPECT_EQ(S.Effects[6].Effect->Lifetime, 100);
  EXPECT_EQ(S.Effects[6].PathScript, "");
  EXPECT_EQ(S.Effects[7].Effect->Lifetime, 100);

  Effects.StopEffects("ScoreEffect");
  EXPECT_EQ(S.Effects.size(), 6u);
  for (const TPartEffect& e : S.Effects) EXPECT_FALSE(e.IsText);
  EXPECT_EQ(H.Screen.OnlyRects, 2);

  Effects.Templates = {};
  Effects.StartCardFlyEffect({0, 0}, {1, 1}, "a.png", kNow);
  Effects.ShowScoreEffect("1", {0, 0}, -1);
  EXPECT_EQ(S.Effects.size(), 6u) << "no template, no entry that could never end";
}

TEST_F(EffectsTest, CursorDirtiesOnePlacePerPass) {
  S.Game.CursorFrame = 28;
  S.Game.CursorNextTime = kNow;
  S.MousePos = {300, 200};
  Effects.UpdateCursorBlink(kNow);
  EXPECT_TRUE(H.Screen.Dirty.empty());
  Effects.UpdateCursorBlink(kNow + 61);
  EXPECT_EQ(S.Game.CursorFrame, 1) << "three frames: 29, 0, 1";
  EXPECT_EQ(H.Screen.Dirty, (std::vector<TRect>{{300, 200, 341, 239}}));
}

TEST_F(EffectsTest, LevelPicturesStepTheirFrames) {
  H.Surfaces.Sizes["fire1.png"] = {30, 40};
  H.Surfaces.Sizes["fire2.png"] = {20, 10};
  TLevelPicture images;
  images.X = 100;
  images.Y = 50;
  images.Images = {"fire1.png", "fire2.png"};
  images.ImageTimes = {100, 200};
  images.NextFrameTime = kNow - 1;
  images.Visible = false;
  TLevelPicture strip;
  strip.SeparateImages = false;
  strip.X = 10;
  strip.Y = 20;
  strip.Images = {"strip.png"};
  strip.ImageTimes = {70};
  strip.FramesCount = 3;
  strip.FramesPerLine = 2;
  strip.FrameWidth = 16;
  strip.FrameHeight = 12;
  strip.Frame = 2;
  strip.NextFrameTime = kNow - 1;
  TLevelPicture empty;
  empty.SeparateImages = false;
  empty.NextFrameTime = kNow - 1;
  S.Level.Pictures = {images, strip, empty};

  Effects.UpdatePictureAnimations(kNow);
  EXPECT_EQ(S.Level.Pictures[0].Frame, 1) << "hidden pictures animate too";
  EXPECT_EQ(S.Level.Pictures[0].NextFrameTime, kNow + 200);
  EXPECT_EQ(S.Level.Pictures[1].Frame, 0) << "the strip wraps after its last frame";
  EXPECT_EQ(S.Level.Pictures[1].NextFrameTime, kNow + 70);
  EXPECT_EQ(H.Screen.Dirty, (std::vector<TRect>{{105, 55, 125, 65}, {10, 20, 26, 32}}))
      << "the image's rectangle where it is drawn, 5 pixels off";

  Effects.UpdatePictureAnimations(kNow + 200);
  EXPECT_EQ(S.Level.Pictures[0].Frame, 1) << "not due";
  Effects.UpdatePictureAnimations(kNow + 201);
  EXPECT_EQ(S.Level.Pictures[0].Frame, 0);
}

class SweepTest : public EffectsTest {
 protected:
  void SetUp() override {
    EffectsTest::SetUp();
    H.MakeRow(3);  // points at x 100, 140, 180
    S.Game.GameMode = gmFrozen;
    S.Level.LevComplete = true;
    S.Level.SweepStart = kNow;
    S.Level.SweepPattern = 4;  // from the left edge
  }
};

TEST_F(SweepTest, FrontTurnsCardsItPasses) {
  const int32_t king = H.Lay(0, GameHarness::Kind(3, 11));
  const int32_t three = H.Lay(1, GameHarness::Kind(0, 1));
  S.Cards[static_cast<size_t>(three)].State = csEnclosed;
  H.Lay(2, GameHarness::Kind(1, 5));

  Effects.UpdateLevelEndSweep(kNow + 300);  // front at 100: nothing yet
  EXPECT_TRUE(S.Effects.empty());
  Effects.UpdateLevelEndSweep(kNow + 423);  // front at 141
  ASSERT_EQ(S.Effects.size(), 2u);
  EXPECT_EQ(S.Effects[0].Picture, "card_animeRP.png");
  EXPECT_EQ(S.Effects[1].Picture, "card_animeBN.png");
  EXPECT_EQ(S.Effects[0].Kind, 10);
  EXPECT_EQ((TGamePoint{S.Effects[1].X, S.Effects[1].Y}), (TGamePoint{140, 200}));
  EXPECT_EQ(S.Cards[static_cast<size_t>(king)].State, csEnclosed);
  EXPECT_EQ(S.Cards[static_cast<size_t>(three)].State, csOpen) << "an enclosed card turns face up";
  EXPECT_EQ(S.Cards[static_cast<size_t>(king)].ShowTime, kNow + 923);
  EXPECT_EQ(S.Level.SweepPoints, (TIntegers{0, 1}));

  // The cover is laid again only over cards whose turn is over (shown until 923).
  Canvas.Combines.clear();
  Effects.UpdateLevelEndSweep(kNow + 923);
  EXPECT_TRUE(Canvas.Combines.empty()) << "the king is still turning at its ShowTime";
  Canvas.Combines.clear();
  Effects.UpdateLevelEndSweep(kNow + 924);
  ASSERT_EQ(Canvas.Combines.size(), 1u);
  EXPECT_EQ(Canvas.Combines[0].Source, "CoverMask.png");
  EXPECT_EQ(Canvas.Combines[0].Target, "Cover");
  EXPECT_EQ((TGamePoint{Canvas.Combines[0].X, Canvas.Combines[0].Y}), (TGamePoint{84, 175}));
}

TEST_F(SweepTest, PictureStripFromJackUpAndRedFromSuitTwo) {
  H.Lay(0, GameHarness::Kind(2, 9));  // a red Jack
  H.Lay(1, GameHarness::Kind(1, 8));  // a black Ten
  H.Lay(2, GameHarness::Kind(1, 9));  // a black Jack
  Effects.UpdateLevelEndSweep(kNow + 3000);
  ASSERT_EQ(S.Effects.size(), 3u);
  EXPECT_EQ(S.Effects[0].Picture, "card_animeRP.png");
  EXPECT_EQ(S.Effects[1].Picture, "card_animeBN.png");
  EXPECT_EQ(S.Effects[2].Picture, "card_animeBP.png");
}

TEST_F(SweepTest, AFreePointEndsThePass) {
  H.Lay(1, 5);
  H.Lay(2, 6);
  Effects.UpdateLevelEndSweep(kNow + 3000);  // the front is past every point
  EXPECT_EQ(S.Level.SweepPoints, (TIntegers{0}));
  EXPECT_TRUE(S.Effects.empty());
  Effects.UpdateLevelEndSweep(kNow + 3001);
  EXPECT_EQ(S.Level.SweepPoints, (TIntegers{0, 1, 2}));
  EXPECT_EQ(S.Effects.size(), 2u);
}

TEST_F(SweepTest, EndsAfterItsTimeWithANewPattern) {
  H.Lay(0, 5);
  H.Lay(1, 6);
  S.Cards[0].State = csEnclosed;
  S.Cards[1].State = csOpen;
  S.Level.SweepPoints = {2};
  H.Rand.Ints = {2};
  Effects.UpdateLevelEndSweep(kNow + 4801);
  EXPECT_EQ(S.Level.SweepStart, kNow + 4801);
  EXPECT_EQ(S.Level.SweepPattern, 3);
  EXPECT_EQ(S.Cards[1].State, csEnclosed) << "every card takes the first card's state";
  EXPECT_EQ(H.Screen.OnlyRects, 1);
  EXPECT_TRUE(S.Level.SweepPoints.empty()) << "a front at 0 of pattern 3 takes nothing";
  EXPECT_TRUE(S.Effects.empty());

  Effects.UpdateLevelEndSweep(kNow + 4801 + 4800);
  EXPECT_EQ(S.Level.SweepStart, kNow + 4801) << "4800 ms are not yet the end";
  Effects.UpdateLevelEndSweep(kNow + 4801 + 4801);
  EXPECT_EQ(S.Level.SweepStart, kNow + 4801 + 4801);
}

TEST_F(SweepTest, EndsEarlyOnceEveryPointIsSwept) {
  H.Lay(0, 5);
  H.Lay(1, 6);
  H.Lay(2, 7);
  Effects.UpdateLevelEndSweep(kNow + 1000);
  EXPECT_EQ(S.Level.SweepPoints.size(), 3u);
  Effects.UpdateLevelEndSweep(kNow + 1499);
  EXPECT_EQ(S.Level.SweepStart, kNow) << "cards are still turning";
  Effects.UpdateLevelEndSweep(kNow + 1500);
  EXPECT_EQ(S.Level.SweepStart, kNow + 1500);
}

TEST_F(SweepTest, RandomPatternTakesOnePointAtATime) {
  H.Lay(0, 5);
  H.Lay(1, 6);
  H.Lay(2, 7);
  S.Level.SweepPattern = 9;
  H.Rand.Ints = {1, 1};
  Effects.UpdateLevelEndSweep(kNow + 29);  // front 9: fewer than one point due
  EXPECT_TRUE(S.Level.SweepPoints.empty());
  Effects.UpdateLevelEndSweep(kNow + 30);  // front 10: one point
  EXPECT_EQ(S.Level.SweepPoints, (TIntegers{1}));
  Effects.UpdateLevelEndSweep(kNow + 31);
  EXPECT_EQ(S.Level.SweepPoints, (TIntegers{1})) << "one point per ten pixels of front";
  Effects.UpdateLevelEndSweep(kNow + 60);
  EXPECT_EQ(S.Level.SweepPoints, (TIntegers{1, 2}));
}

}  // namespace
}  // namespace qv::test
