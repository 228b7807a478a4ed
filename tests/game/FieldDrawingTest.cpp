#include <gtest/gtest.h>

#include "EffectFixtures.h"
#include "FieldFakes.h"
#include "game/BeltPath.h"
#include "game/FieldDrawing.h"
#include "game/GameEffects.h"
#include "game/GameFakes.h"
#include "game/LevelSurfaces.h"

namespace qv::test {
namespace {

constexpr int32_t kNow = 1000000;

class DrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    H.Clock.Set(kNow);
    H.MakeRow(3);
    Canvas.Sizes["Shuller.png"] = {40, 60};
    Canvas.Sizes["VCardLine.png"] = {6, 54};
    Canvas.Sizes["HCardLine.png"] = {36, 8};
    Canvas.Sizes["CardPoint.png"] = {10, 12};
    Field.BeginPass(kNow, kNow - 20);
  }

  GameHarness H;
  TGameState& S = H.State;
  FakeCanvas Canvas;
  FakeHost Host;
  TFieldDrawing Field{H.State, H.Svc, Canvas, Host};
};

TEST_F(DrawingTest, TargetPromptPulsesThenStops) {
  S.Game.PromptShown = true;
  S.Game.TakeTime = kNow - 2000;
  S.Level.TimePrompt = 2000;
  S.TargetPoints = {0, 2};
  S.BonusTargets = {{500, 400}};
  Field.DrawTargetPrompt("MemoryBufer");
  Field.DrawBonusPlacePrompt("MemoryBufer");
  EXPECT_TRUE(Canvas.Draws.empty()) << "no held card, no prompt";

  S.HeldCard = 0;
  Field.DrawTargetPrompt("MemoryBufer");
  Field.DrawBonusPlacePrompt("MemoryBufer");
  const auto backs = Canvas.Of("CardBack.png");
  ASSERT_EQ(backs.size(), 3u);
  EXPECT_EQ((TGamePoint{backs[1].X, backs[1].Y}), (TGamePoint{164, 175}));
  EXPECT_EQ(backs[0].Color, 0x00FFFFu);
  EXPECT_EQ(backs[0].Weight, 255);
  EXPECT_EQ(backs[2].Color, 0xFF0000u);
  EXPECT_EQ((TGamePoint{backs[2].X, backs[2].Y}), (TGamePoint{484, 375}));
  EXPECT_EQ(H.Screen.Dirty.front(), (TRect{84, 175, 116, 225}));

  Field.BeginPass(kNow + 1200, kNow);
  Field.DrawBonusPlacePrompt("MemoryBufer");
  Field.DrawTargetPrompt("MemoryBufer");
  EXPECT_EQ(Canvas.Of("CardBack.png").size(), 6u) << "still on at its last millisecond";
  Field.BeginPass(kNow + 1201, kNow);
  Field.DrawTargetPrompt("MemoryBufer");
  EXPECT_FALSE(S.Game.PromptShown);
  EXPECT_EQ(S.Game.TakeTime, kNow + 2201) << "it comes back after the delay and 1000 ms more";
  EXPECT_EQ(Canvas.Of("CardBack.png").size(), 6u);
}

TEST_F(DrawingTest, CardsOnPointsFlashOrHide) {
  const int32_t open = H.Lay(0, 20);
  const int32_t closed = H.Lay(1, 21);
  const int32_t later = H.Lay(2, 22);
  TCard& c = S.Cards[static_cast<size_t>(open)];
  c.FlashStart = kNow - 200;
  c.FlashEnd = kNow + 600;
  c.FlashCount = 2;
  c.FlashAmplitude = 200;
  S.Cards[static_cast<size_t>(closed)].State = csEnclosed;
  S.Cards[static_cast<size_t>(later)].ShowTime = kNow + 10;
  Field.DrawMapCards("MemoryBufer");
  ASSERT_EQ(Canvas.Draws.size(), 2u);
  EXPECT_EQ(Canvas.Draws[0].Source, S.CardTypes[20].Picture);
  EXPECT_EQ((TGamePoint{Canvas.Draws[0].X, Canvas.Draws[0].Y}), (TGamePoint{84, 175}));
  EXPECT_EQ(Canvas.Draws[0].Weight, 55);
  EXPECT_EQ(H.Screen.Dirty, (std::vector<TRect>{{84, 175, 116, 229}}));
  EXPECT_EQ(Canvas.Draws[1].Source, "CardDress.png");
}

TEST_F(DrawingTest, BeltPartsAndCards) {
  TBeltPathInfo path = MakeBeltPath("Set Linear; Set Timing 10; Path (0, 100) (400, 100); Ending Loop;");
  TFishkaLenta belt;
  belt.Path = std::move(path.Path);
  belt.PathTime = 10000;
  belt.PathLength = 400;
  belt.PointStep = 4;
  belt.PartImage = "LentaPart.png";
  belt.PartWidth = 20;
  belt.PartHeight = 10;
  TCard suitable = MakeCard(20, btNone, kNow - 100);
  suitable.X = 50;
  suitable.Y = 75;
  suitable.Alpha = 255;
  TCard plain = MakeCard(30, btNone, kNow - 50);
  plain.X = 10;
  plain.Y = 75;
  plain.Alpha = 250;
  TCard joker = MakeCard(0, btJoker, kNow - 10);
  joker.Alpha = 100;
  TCard unborn = MakeCard(1, btNone, kNow + 5);
  belt.Cards = {suitable, plain, joker, unborn};
  S.Level.Belts.push_back(std::move(belt));
  S.SuitableKinds.set(20);
  S.FrameOffset = {4, 3};
  S.Level.BeltPhase = 0;
  S.Level.PrevBeltPhase = 0;
  Field.BeginPass(kNow, kNow - 125);

  Field.DrawBelts("MemoryBufer");
  const auto parts = Canvas.Of("LentaPart.png");
  ASSERT_EQ(parts.size(), 5u) << "N + 1 parts";
  EXPECT_EQ(parts[0].Weight, 0);
  // Every 2500 ms along a 10000 ms loop: 100 pixels apart, centred 5 pixels off.
  EXPECT_EQ((TGamePoint{parts[1].X, parts[1].Y}), (TGamePoint{parts[0].X + 100, 100}));
  ASSERT_EQ(Field.BeltRects.size(), 5u);
  const TRect& r = Field.BeltRects[1];
  EXPECT_EQ(r.Right - r.Left, 20 + 5) << "the part now and 125 ms ago";
  EXPECT_EQ(r.Bottom - r.Top, 10);

  const auto frames = Canvas.Of("CardFrame.png");
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ((TGamePoint{frames[0].X, frames[0].Y}), (TGamePoint{46, 72}));
  const TFishkaLenta& drawn = S.Level.Belts[0];
  EXPECT_EQ(drawn.Cards[0].DrawnRect, (TRect{46, 72, 88, 130}));
  EXPECT_EQ(drawn.Cards[1].DrawnRect, (TRect{10, 75, 44, 127}));
  EXPECT_EQ(Canvas.Of(S.CardTypes[20].Picture)[0].Alpha, 255);
  EXPECT_EQ(Canvas.Of(S.CardTypes[30].Picture)[0].Alpha, 200) << "unframed cards are dimmed";
  EXPECT_EQ(Canvas.Of("joker.png")[0].Alpha, 100);
  EXPECT_TRUE(Canvas.Of(S.CardTypes[1].Picture).empty()) << "not born yet";

  // Hard: no frames and no dimming; an old first card warns.
  Canvas.Draws.clear();
  S.Game.Mode = dmHard;
  S.Level.Belts[0].Cards[0].BornTime = kNow - 6651;
  Field.BeginPass(kNow + 350, kNow);
  Field.DrawBelts("MemoryBufer");
  EXPECT_TRUE(Canvas.Of("CardFrame.png").empty());
  EXPECT_EQ(Canvas.Of(S.CardTypes[30].Picture)[0].Alpha, 250);
  EXPECT_EQ(Canvas.Of("LentaPart.png")[0].Color, 0x0000FFu);
  EXPECT_EQ(Canvas.Of("LentaPart.png")[0].Weight, 255);
  S.Game.Mode = dmNoLose;
  Canvas.Draws.clear();
  Field.DrawBelts("MemoryBufer");
  EXPECT_EQ(Canvas.Of("LentaPart.png")[0].Weight, 0) << "no warning where the level cannot be lost";
}

TEST_F(DrawingTest, SharperGlidesThenStands) {
  S.Params.SharperDelay = 2000;
  S.Level.SharperPoint = 1;
  S.Level.SharperFrom = {100, 100};
  S.Level.SharperPos = {200, 150};
  S.Level.SharperTime = kNow + 2000 - 250;  // moved 250 ms ago
  Field.DrawThiefAndSharper("MemoryBufer");
  ASSERT_EQ(Canvas.Draws.size(), 1u);
  EXPECT_EQ((TGamePoint{Canvas.Draws[0].X, Canvas.Draws[0].Y}), (TGamePoint{125, 112}));
  EXPECT_EQ(H.Screen.Dirty.back(), (TRect{115, 102, 175, 182}));

  S.Level.SharperTime = kNow + 2000 - 1050;
  S.Level.ThiefPoints = {0};
  S.Level.ThiefPos = {7, 8};
  H.Screen.Dirty.clear();
  Field.DrawThiefAndSharper("MemoryBufer");
  EXPECT_EQ(Canvas.Draws[1].Source, "Vor.png");
  EXPECT_EQ((TGamePoint{Canvas.Draws[2].X, Canvas.Draws[2].Y}), (TGamePoint{200, 150}));
  EXPECT_EQ(H.Screen.Dirty.size(), 1u) << "still settling";
  S.Level.SharperTime = kNow + 2000 - 1100;
  Field.DrawThiefAndSharper("MemoryBufer");
  EXPECT_EQ(H.Screen.Dirty.size(), 1u);
}

TEST_F(DrawingTest, LevelPicturesAndCastleOutlines) {
  Canvas.Sizes["tower2.png"] = {30, 40};
  TLevelPicture images;
  images.X = 100;
  images.Y = 50;
  images.Images = {"tower1.png", "tower2.png"};
  images.Frame = 7;  // beyond its images
  images.FlashStart = kNow - 200;
  images.FlashEnd = kNow + 600;
  images.FlashCount = 2;
  images.FlashAmplitude = 200;
  TLevelPicture strip;
  strip.SeparateImages = false;
  strip.X = 10;
  strip.Y = 20;
  strip.Images = {"strip.png"};
  strip.FramesCount = 5;
  strip.FramesPerLine = 3;
  strip.FrameWidth = 16;
  strip.FrameHeight = 12;
  strip.Frame = 4;
  TLevelPicture hidden = strip;
  hidden.Visible = false;
  S.Level.Pictures = {images, strip, hidden};
  Field.DrawLevelPictures("MemoryBufer");
  ASSERT_EQ(Canvas.Draws.size(), 2u);
  EXPECT_EQ(Canvas.Draws[0].Source, "tower2.png") << "a frame past the end is held at the last image";
  EXPECT_EQ((TGamePoint{Canvas.Draws[0].X, Canvas.Draws[0].Y}), (TGamePoint{105, 55}));
  EXPECT_EQ(Canvas.Draws[0].Weight, 55);
  EXPECT_EQ(Canvas.Draws[0].Color, 0xFFFFFFFFu);
  EXPECT_EQ(H.Screen.Dirty, (std::vector<TRect>{{105, 55, 135, 95}}));
  EXPECT_EQ(Canvas.Draws[1].Rect, (TRect{16, 12, 31, 23}));

  Canvas.Draws.clear();
  H.Screen.Dirty.clear();
  S.Level.Zones[0].Wall = true;
  S.Level.Zones[0].VerticalEdges = {{84, 75}};
  S.Level.Zones[0].HorizontalEdges = {{84, 75}};
  S.Level.Zones[0].CornerDots = {{84, 75}, {118, 127}};
  Field.DrawCastleOutlines("MemoryBufer");
  ASSERT_EQ(Canvas.Draws.size(), 4u);
  EXPECT_EQ((TGamePoint{Canvas.Draws[0].X, Canvas.Draws[0].Y}), (TGamePoint{81, 74}));
  EXPECT_EQ((TGamePoint{Canvas.Draws[1].X, Canvas.Draws[1].Y}), (TGamePoint{84, 71}));
  EXPECT_EQ((TGamePoint{Canvas.Draws[3].X, Canvas.Draws[3].Y}), (TGamePoint{113, 121}));
  EXPECT_TRUE(H.Screen.Dirty.empty()) << "no flash, nothing to redraw";
  S.Level.Zones[0].FlashStart = kNow;
  S.Level.Zones[0].FlashEnd = kNow + 800;
  S.Level.Zones[0].FlashCount = 2;
  S.Level.Zones[0].FlashAmplitude = 200;
  Field.BeginPass(kNow + 200, kNow);
  Field.DrawCastleOutlines("MemoryBufer");
  EXPECT_EQ(Canvas.Draws[4].Weight, 55);
  EXPECT_EQ(H.Screen.Dirty, (std::vector<TRect>{{79, 69, 123, 133}}));
}

TEST_F(DrawingTest, EffectsPlaceTheirParticles) {
  FixtureTemplates templates;
  TLevelSurfaces surfaces(S, H.Svc, Canvas, Host);
  TGameEffects effects(S, H.Svc, surfaces);
  effects.Templates = templates.All();
  Canvas.Sizes["7_bubny.png"] = {32, 50};
  Canvas.Sizes["card_animeRN.png"] = {320, 50};
  effects.StartCardFlyEffect({100, 200}, {400, 200}, "7_bubny.png", kNow - 100);
  effects.StartCardTurnEffect("card_animeRN.png", {300, 300});  // starts now: not drawn yet
  effects.ShowScoreEffect("50", {700, 580}, kNow - 600);
  effects.StartCardFlyEffect({0, 0}, {10, 10}, "missing.png", kNow - 100);
  effects.UpdateEffects(kNow);

  Field.DrawEffects("MemoryBufer");
  ASSERT_EQ(Canvas.Draws.size(), 1u);
  EXPECT_EQ(Canvas.Draws[0].Source, "7_bubny.png");
  EXPECT_EQ((TGamePoint{Canvas.Draws[0].X, Canvas.Draws[0].Y}), (TGamePoint{184, 175})) << "centred on the path";
  EXPECT_EQ(Canvas.Draws[0].Alpha, 255) << "particles are opaque unless the template fades them";
  ASSERT_EQ(Host.Texts.size(), 1u);
  EXPECT_EQ(Host.Texts[0].Text, "+50");
  EXPECT_EQ((TGamePoint{Host.Texts[0].X, Host.Texts[0].Y}), (TGamePoint{700 - 24, 580 - 24 - 14}));
  EXPECT_EQ(Host.Texts[0].Alpha, 128);
  EXPECT_EQ(Host.Texts[0].Color, 0x28C8FFu);
  // The box: the card (184..216, 175..225) and the text (676..724, 542..570).
  EXPECT_EQ(H.Screen.Dirty.back(), (TRect{184, 175, 725, 571}));

  effects.UpdateEffects(kNow + 200);
  Field.BeginPass(kNow + 200, kNow);
  Canvas.Draws.clear();
  Field.DrawEffects("MemoryBufer");
  const auto turn = Canvas.Of("card_animeRN.png");
  ASSERT_EQ(turn.size(), 1u);
  EXPECT_EQ((TGamePoint{turn[0].X, turn[0].Y}), (TGamePoint{284, 275})) << "half a frame of the strip";
  EXPECT_EQ(turn[0].Rect, (TRect{128, 0, 159, 49})) << "frame 4 at 200 ms";
}


TEST_F(DrawingTest, FrozenFieldShowsBeltsOnlyBehindTheLevelCompleteWindow) {
  TBeltPathInfo path = MakeBeltPath("Set Linear; Set Timing 10; Path (0, 100) (400, 100); Ending Loop;");
  TFishkaLenta belt;
  belt.Path = std::move(path.Path);
  belt.PathTime = 10000;
  belt.PointStep = 1;
  belt.PartImage = "LentaPart.png";
  S.Level.Belts.push_back(std::move(belt));
  S.Game.PromptShown = true;
  S.HeldCard = 0;
  S.TargetPoints = {0};
  S.Game.TakeTime = kNow;
  S.Level.TimePrompt = -10;
  Field.DrawFrozenField("MemoryBufer", false);
  EXPECT_TRUE(Canvas.Of("LentaPart.png").empty());
  EXPECT_TRUE(Canvas.Of("CardBack.png").empty()) << "no prompt behind a window";
  EXPECT_EQ(Canvas.Draws.front().Source, "Background");
  EXPECT_EQ(Canvas.Of("Cover").size(), 1u);
  Field.DrawFrozenField("MemoryBufer", true);
  EXPECT_EQ(Canvas.Of("LentaPart.png").size(), 2u);
  Canvas.Draws.clear();
  Field.DrawPlayField("MemoryBufer");
  EXPECT_EQ(Canvas.Of("CardBack.png").size(), 1u);
  EXPECT_EQ(Canvas.Draws.front().Source, "Background");
}

}  // namespace
}  // namespace qv::test
