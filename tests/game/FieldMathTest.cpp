#include <gtest/gtest.h>

#include "game/FieldMath.h"

namespace qv::test {
namespace {

TEST(FieldMath, FlashWeightDipsOncePerPeriod) {
  // 800 ms, two flashes: a period of 400 ms.
  EXPECT_EQ(FlashWeight(1000, 1000, 1800, 2, 200), 255);
  EXPECT_EQ(FlashWeight(1100, 1000, 1800, 2, 200), 114);
  EXPECT_EQ(FlashWeight(1200, 1000, 1800, 2, 200), 55);
  EXPECT_EQ(FlashWeight(1400, 1000, 1800, 2, 200), 255);
  EXPECT_EQ(FlashWeight(1600, 1000, 1800, 2, 200), 55);
  EXPECT_EQ(FlashWeight(1799, 1000, 1800, 2, 200), 253);
  EXPECT_EQ(FlashWeight(1800, 1000, 1800, 2, 200), 0) << "over at its end";
  EXPECT_EQ(FlashWeight(1200, -1, 1800, 2, 200), 0) << "never started";
  EXPECT_EQ(FlashWeight(1200, 1000, 1800, 0, 200), 0) << "no count, no division by zero";
  EXPECT_EQ(FlashWeight(1000, 1000, 1001, 4, 200), 0) << "a period rounding to 0";
  EXPECT_EQ(FlashWeight(1200, 1000, 1800, 2, 400), 0) << "held within a byte";
}

TEST(FieldMath, PromptPulsesFromTheDelay) {
  EXPECT_EQ(PromptWeight(5000, 3000, 2000), 255);
  EXPECT_EQ(PromptWeight(5150, 3000, 2000), 128);
  EXPECT_EQ(PromptWeight(5300, 3000, 2000), 1);
  EXPECT_EQ(PromptWeight(5600, 3000, 2000), 255);
  EXPECT_EQ(WarningWeight(0), 128);
  EXPECT_EQ(WarningWeight(150), 255);
  EXPECT_EQ(WarningWeight(450), 1);
}

TEST(FieldMath, ClipDrawCutsAtEveryEdge) {
  const TRect screen{0, 0, 800, 600};
  TClippedDraw d;
  ASSERT_TRUE(ClipDraw(nullptr, 32, 50, screen, -10, 590, d));
  EXPECT_EQ(d.Source, (TRect{10, 0, 31, 9}));
  EXPECT_EQ(d.X, 0);
  EXPECT_EQ(d.Y, 590);

  ASSERT_TRUE(ClipDraw(nullptr, 32, 50, screen, 100, 100, d));
  EXPECT_EQ(d.Source, (TRect{0, 0, 31, 49})) << "inside: whole picture";

  EXPECT_FALSE(ClipDraw(nullptr, 32, 50, screen, 100, -50, d)) << "ends where the clip starts";
  ASSERT_TRUE(ClipDraw(nullptr, 32, 50, screen, 100, -49, d));
  EXPECT_EQ(d.Source.Top, 49);
  EXPECT_EQ(d.Y, 0);
  EXPECT_FALSE(ClipDraw(nullptr, 32, 50, screen, 100, 600, d)) << "starts on the bottom edge";
  EXPECT_FALSE(ClipDraw(nullptr, 32, 50, screen, 800, 10, d));

  const TRect cell{32, 0, 63, 49};
  ASSERT_TRUE(ClipDraw(&cell, 320, 50, screen, 790, 0, d));
  EXPECT_EQ(d.Source, (TRect{32, 0, 41, 49})) << "a strip cell cut on the right";

  ASSERT_TRUE(ClipDraw(nullptr, 900, 700, TRect{100, 100, 200, 150}, 50, 60, d));
  EXPECT_EQ(d.Source, (TRect{50, 40, 149, 89})) << "cut on all four sides";
  EXPECT_EQ(d.X, 100);
  EXPECT_EQ(d.Y, 100);
}

TEST(FieldMath, EffectsBoxIsClampedAndJoinedWithThePreviousOne) {
  TRect kept{kNoBox, 0, 0, 0};
  EXPECT_EQ(JoinEffectsBox(TRect{10, 20, 30, 40}, kept), (TRect{10, 20, 31, 41}));
  EXPECT_EQ(kept, (TRect{10, 20, 30, 40}));

  EXPECT_EQ(JoinEffectsBox(TRect{-5, 590, 50, 700}, kept), (TRect{0, 20, 51, 600}));
  EXPECT_EQ(kept, (TRect{0, 590, 50, 599})) << "the unjoined box, clamped";

  EXPECT_EQ(JoinEffectsBox(TRect{kNoBox, 0, 0, 0}, kept), (TRect{0, 590, 51, 600}))
      << "the place of the last particles is redrawn once";
  EXPECT_EQ(kept.Left, kNoBox);
  const TRect none = JoinEffectsBox(TRect{kNoBox, 0, 0, 0}, kept);
  EXPECT_LE(none.Right, none.Left);
}

TEST(FieldMath, MapPathDotsAboutEveryTwelvePixels) {
  EXPECT_TRUE(MapPathDots(0, 0, 23, 0, 0, 0).empty()) << "23 pixels: no room for a dot";
  EXPECT_TRUE(MapPathDots(0, 0, 12, 0, 0, 0).empty());
  EXPECT_EQ(MapPathDots(100, 100, 139, 103, 6, 6), (std::vector<TGamePoint>{{112, 100}, {124, 100}}))
      << "36 pixels to the marker's corner: two dots";
  // 50 pixels on a slant: halves round to the even neighbour.
  EXPECT_EQ(MapPathDots(0, 0, 30, 40, 0, 0), (std::vector<TGamePoint>{{8, 10}, {15, 20}, {22, 30}}));
}

TEST(FieldMath, CastleOutlines) {
  TPoints dots, vertical, horizontal;
  MakeCastleOutlines({{100, 100}}, dots, vertical, horizontal);
  EXPECT_EQ(dots, (TPoints{{84, 75}, {118, 75}, {84, 127}, {118, 127}}));
  EXPECT_EQ(vertical, (TPoints{{84, 75}, {118, 75}}));
  EXPECT_EQ(horizontal, (TPoints{{84, 75}, {84, 127}}));

  MakeCastleOutlines({{100, 100}, {134, 100}}, dots, vertical, horizontal);
  EXPECT_EQ(dots.size(), 6u);
  EXPECT_EQ(vertical, (TPoints{{84, 75}, {152, 75}})) << "the shared edge is dropped";
  EXPECT_EQ(horizontal.size(), 4u);

  MakeCastleOutlines({{100, 100}, {134, 100}, {100, 152}, {134, 152}}, dots, vertical, horizontal);
  EXPECT_EQ(dots.size(), 8u);
  EXPECT_EQ(std::count(dots.begin(), dots.end(), TGamePoint{118, 127}), 0) << "the centre dot";
  EXPECT_EQ(vertical, (TPoints{{84, 75}, {152, 75}, {84, 127}, {152, 127}}));
  EXPECT_EQ(horizontal, (TPoints{{84, 75}, {118, 75}, {84, 179}, {118, 179}}));

  // An L: the inner corner is met three times and stays.
  MakeCastleOutlines({{100, 100}, {134, 100}, {100, 152}}, dots, vertical, horizontal);
  EXPECT_EQ(dots.size(), 8u);
  EXPECT_EQ(std::count(dots.begin(), dots.end(), TGamePoint{118, 127}), 1);
  EXPECT_EQ(vertical, (TPoints{{84, 75}, {152, 75}, {84, 127}, {118, 127}}));
  EXPECT_EQ(horizontal, (TPoints{{84, 75}, {118, 75}, {118, 127}, {84, 179}}));

  MakeCastleOutlines({}, dots, vertical, horizontal);
  EXPECT_TRUE(dots.empty() && vertical.empty() && horizontal.empty());
}

TEST(FieldMath, SweepPatternsAtTheirBoundaries) {
  EXPECT_FALSE(SweepSelects(1, 100, 100, 600));
  EXPECT_TRUE(SweepSelects(1, 100, 100, 601));
  EXPECT_FALSE(SweepSelects(2, 430, 340, 50));
  EXPECT_TRUE(SweepSelects(2, 430, 340, 51));
  EXPECT_FALSE(SweepSelects(3, 700, 100, 100));
  EXPECT_TRUE(SweepSelects(3, 700, 100, 101));
  EXPECT_FALSE(SweepSelects(4, 100, 0, 100));
  EXPECT_TRUE(SweepSelects(4, 100, 0, 101));
  EXPECT_FALSE(SweepSelects(5, 0, 250, 250));
  EXPECT_TRUE(SweepSelects(5, 0, 250, 251));
  // The closing ring takes a point only while the front passes over it.
  EXPECT_FALSE(SweepSelects(6, 400, 350, 1250));
  EXPECT_TRUE(SweepSelects(6, 400, 350, 1251));
  EXPECT_FALSE(SweepSelects(6, 400, 350, 1350));
  EXPECT_FALSE(SweepSelects(6, 400, 300, 1300)) << "the centre itself";
  EXPECT_FALSE(SweepSelects(7, 100, 100, -400));
  EXPECT_TRUE(SweepSelects(7, 100, 100, 0));
  EXPECT_FALSE(SweepSelects(8, 700, 500, 700));
  EXPECT_TRUE(SweepSelects(8, 700, 500, 701));
  EXPECT_FALSE(SweepSelects(9, 0, 0, 100000)) << "the random pattern picks its own point";
  // A front of a whole sweep covers the screen for every straight pattern.
  for (int pattern : {1, 3, 4, 5, 7, 8}) EXPECT_TRUE(SweepSelects(pattern, 799, 599, 4801 / 3)) << pattern;
}

TEST(FieldMath, CursorWrapsAndCatchesUpAfterAStall) {
  int32_t frame = 29, next = 1000;
  EXPECT_EQ(AdvanceCursor(frame, next, 1000, 30, 30), 0) << "not yet";
  EXPECT_EQ(AdvanceCursor(frame, next, 1001, 30, 30), 1);
  EXPECT_EQ(frame, 0);
  EXPECT_EQ(next, 1030);
  // 95 ms after the last frame: three frames at once.
  frame = 0;
  next = 1030;
  EXPECT_EQ(AdvanceCursor(frame, next, 1095, 30, 30), 3);
  EXPECT_EQ(frame, 3);
  EXPECT_EQ(next, 1120);
  // A long stall moves on by the missed frames modulo the strip.
  frame = 5;
  next = 1000;
  EXPECT_EQ(AdvanceCursor(frame, next, 1000 + 30 * 1000 + 5, 30, 30), 1001);
  EXPECT_EQ(frame, 16);
  EXPECT_EQ(next, 1000 + 30 * 1001);
}

TEST(FieldMath, CoverWindowIsAlwaysWholeInsideThePicture) {
  EXPECT_EQ(CoverWindow(100, 100), (TRect{0, 0, 799, 599}));
  EXPECT_EQ(CoverWindow(400, 300), (TRect{800, 600, 1599, 1199}));
  EXPECT_EQ(CoverWindow(790, 590), (TRect{1600, 1200, 2399, 1799})) << "near the right and bottom edges";
  EXPECT_EQ(CoverWindow(700, 500), (TRect{1600, 1200, 2399, 1799})) << "exactly at the last full window";
  EXPECT_EQ(CoverWindow(2000000000, -2000000000), (TRect{1600, 0, 2399, 599}));
}

}  // namespace
}  // namespace qv::test
