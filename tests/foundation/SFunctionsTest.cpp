#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "foundation/Random.h"
#include "foundation/SFunctions.h"

using namespace qv;

TEST(Words, SplitAtBlanksAndTabs) {
  const std::string text = "  a\tb  ";
  EXPECT_EQ(GetWord(text, 1), "a");
  EXPECT_EQ(GetWord(text, 2), "b");
  EXPECT_EQ(GetWord(text, 3), "%&");
  EXPECT_EQ(GetWord(text, 0), "");
  EXPECT_EQ(WordCount(text), 2);
  EXPECT_EQ(WordCount(""), 0);
  EXPECT_EQ(GetWord("", 1), "%&");
  // Long lists (a level's point lists) are not limited to 254 words.
  std::string many;
  for (int i = 0; i < 600; ++i) many += std::to_string(i) + " ";
  EXPECT_EQ(WordCount(many), 600);
  EXPECT_EQ(GetWord(many, 600), "599");
  EXPECT_EQ(SplitWords(many).size(), 600u);
}

TEST(Integers, ArrayHelpers) {
  TIntegers a;
  EXPECT_EQ(MinInt(a), 2147483647);
  DeleteInt(0, a);  // empty: left alone
  AddInt(a, 5);
  AddInt(a, -3);
  AddInt(a, 5);
  EXPECT_TRUE(IntInArray(-3, a));
  EXPECT_FALSE(IntInArray(4, a));
  EXPECT_EQ(IndexOfInt(a, 5), 0);
  EXPECT_EQ(IndexOfInt(a, 9), -1);
  EXPECT_EQ(MinInt(a), -3);
  DeleteInt(7, a);  // outside: left alone
  DeleteInt(-1, a);
  EXPECT_EQ(a.size(), 3u);
  DeleteInt(1, a);
  EXPECT_EQ(a, (TIntegers{5, 5}));
}

TEST(WeightedRandom, ProportionalAndSignalsNothingChosen) {
  EXPECT_EQ(WeightedRandom({0, 0, 0}), 3);
  EXPECT_EQ(WeightedRandom({}), 0);
  RandSeed(1);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(WeightedRandom({0, 5, 0}), 1);
  int counts[2] = {0, 0};
  for (int i = 0; i < 4000; ++i) ++counts[WeightedRandom({1, 3})];
  EXPECT_GT(counts[1], counts[0] * 2);
  EXPECT_LT(counts[1], counts[0] * 4);
  // Huge weights do not overflow the sum, and a sum beyond 32 bits still
  // gives each index its share (clamping the sum would starve the last one).
  int idx = WeightedRandom({2147483647, 2147483647});
  EXPECT_TRUE(idx == 0 || idx == 1);
  int huge[2] = {0, 0};
  for (int i = 0; i < 4000; ++i) ++huge[WeightedRandom({2000000000, 2000000000})];
  EXPECT_GT(huge[1], 1700);
  EXPECT_GT(huge[0], 1700);
  int lopsided[2] = {0, 0};
  for (int i = 0; i < 4000; ++i) ++lopsided[WeightedRandom({1000000000, 2000000000})];
  EXPECT_GT(lopsided[1], lopsided[0] * 3 / 2);
  EXPECT_LT(lopsided[1], lopsided[0] * 5 / 2);
}

TEST(TextHelpers, BetweenAndAttributes) {
  EXPECT_EQ(TextBetween("x[abc]y", "[", "]"), "abc");
  EXPECT_EQ(TextBetween("x[abc]y", "]", "["), "");
  // The end marker is its first occurrence anywhere, even before the start.
  EXPECT_EQ(TextBetween("]x[abc]y", "[", "]"), "");
  EXPECT_EQ(TextBetween("x[abc", "[", "]"), "");
  EXPECT_EQ(GetAttrValue("a=\"1\" b=\"2\"", "b"), "2");
  EXPECT_EQ(GetAttrValue("a=\"1\" b=\"2", "b"), "");
  EXPECT_EQ(GetAttrValue("a=\"1\"", "c"), "");
  EXPECT_EQ(BoolToText(true), "true");
  EXPECT_EQ(BoolToText(false), "false");
}

TEST(StrToIntVal, LenientAndNeverOverflows) {
  EXPECT_EQ(StrToIntVal("12a"), 12);
  EXPECT_EQ(StrToIntVal("-7"), -7);
  EXPECT_EQ(StrToIntVal("-7x"), 7);
  EXPECT_EQ(StrToIntVal("$1F"), 31);
  EXPECT_EQ(StrToIntVal("0x10"), 16);
  EXPECT_EQ(StrToIntVal("x10"), 16);
  EXPECT_EQ(StrToIntVal(""), 0);
  EXPECT_EQ(StrToIntVal("   42"), 42);
  EXPECT_EQ(StrToIntVal("2147483647"), 2147483647);
  EXPECT_EQ(StrToIntVal("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(StrToIntVal("2147483648"), 2147483647);      // clamped, no wrap
  EXPECT_EQ(StrToIntVal("99999999999"), 999999999);      // stops before the overflow
  EXPECT_EQ(StrToIntVal("$FFFFFFFF"), -1);
  EXPECT_EQ(StrToIntVal("-"), 0);
}

TEST(StrToFloatVal, PointOnly) {
  EXPECT_DOUBLE_EQ(StrToFloatVal("1.5"), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloatVal("1,5"), 0.0);
  EXPECT_DOUBLE_EQ(StrToFloatVal(""), 0.0);
  EXPECT_DOUBLE_EQ(StrToFloatVal("-2e2"), -200.0);
  EXPECT_DOUBLE_EQ(StrToFloatVal("abc"), 0.0);
  // Out of range is no number either (level multipliers are read this way).
  EXPECT_EQ(StrToFloatVal("1e5000"), 0.0);
  EXPECT_EQ(StrToFloatVal("1e999"), 0.0);
  EXPECT_EQ(StrToFloatVal("-1e999"), 0.0);
}

TEST(PointInRect, AllEdgesInclusive) {
  TRect r{10, 20, 30, 40};
  EXPECT_TRUE(PointInRect(r, 10, 20));
  EXPECT_TRUE(PointInRect(r, 30, 40));
  EXPECT_FALSE(PointInRect(r, 31, 40));
  EXPECT_FALSE(PointInRect(r, 9, 25));
}

namespace {

// Checks that the cells are pairwise disjoint and that every elementary
// region of the edge grid is covered by a cell exactly when it is covered by
// an input rectangle (clipped to 0..10000).
void ExpectDisjointCover(const TRects& input, const TRects& cells) {
  std::set<int32_t> xs{0, 10000}, ys{0, 10000};
  for (const auto& r : input) {
    if (r.IsEmpty()) continue;
    xs.insert(std::clamp(r.Left, 0, 10000));
    xs.insert(std::clamp(r.Right, 0, 10000));
    ys.insert(std::clamp(r.Top, 0, 10000));
    ys.insert(std::clamp(r.Bottom, 0, 10000));
  }
  for (const auto& c : cells) {
    ASSERT_LT(c.Left, c.Right);
    ASSERT_LT(c.Top, c.Bottom);
  }
  std::vector<int32_t> vx(xs.begin(), xs.end()), vy(ys.begin(), ys.end());
  auto ix = [&](int32_t x) { return static_cast<size_t>(std::lower_bound(vx.begin(), vx.end(), x) - vx.begin()); };
  auto iy = [&](int32_t y) { return static_cast<size_t>(std::lower_bound(vy.begin(), vy.end(), y) - vy.begin()); };
  const size_t w = vx.size() - 1, h = vy.size() - 1;
  std::vector<uint8_t> inInput(w * h, 0);
  std::vector<int> inCells(w * h, 0);
  for (const auto& r : input) {
    if (r.IsEmpty()) continue;
    for (size_t j = iy(std::clamp(r.Top, 0, 10000)); j < iy(std::clamp(r.Bottom, 0, 10000)); ++j)
      for (size_t i = ix(std::clamp(r.Left, 0, 10000)); i < ix(std::clamp(r.Right, 0, 10000)); ++i) inInput[j * w + i] = 1;
  }
  for (const auto& c : cells) {
    // Every cell edge must be one of the input edges.
    ASSERT_TRUE(xs.count(c.Left) && xs.count(c.Right) && ys.count(c.Top) && ys.count(c.Bottom));
    for (size_t j = iy(c.Top); j < iy(c.Bottom); ++j)
      for (size_t i = ix(c.Left); i < ix(c.Right); ++i) ++inCells[j * w + i];
  }
  for (size_t k = 0; k < w * h; ++k)
    ASSERT_EQ(inCells[k], inInput[k] ? 1 : 0) << "at region " << vx[k % w] << "," << vy[k / w];
}

TRects RandomRects(std::mt19937& gen, int n) {
  std::uniform_int_distribution<int32_t> pos(-50, 850), size(-5, 200);
  TRects rs;
  for (int i = 0; i < n; ++i) {
    int32_t l = pos(gen), t = pos(gen);
    rs.push_back({l, t, l + size(gen), t + size(gen)});
  }
  return rs;
}

}  // namespace

TEST(RectsToCells, KnownCases) {
  TRects out;
  RectsToCells(out, {});
  EXPECT_TRUE(out.empty());
  RectsToCells(out, {{10, 20, 30, 40}});
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0], (TRect{10, 20, 30, 40}));
  TRects two;
  RectsToCells(two, {{0, 0, 10, 10}, {5, 5, 15, 15}});
  EXPECT_EQ(two.size(), 7u);
  ExpectDisjointCover({{0, 0, 10, 10}, {5, 5, 15, 15}}, two);
  // The output is appended to, never cleared.
  TRects kept{{1, 1, 2, 2}};
  RectsToCells(kept, {{0, 0, 800, 600}});
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[1], (TRect{0, 0, 800, 600}));
  // Empty and inverted rectangles add nothing.
  TRects none;
  RectsToCells(none, {{5, 5, 5, 9}, {9, 9, 3, 3}});
  EXPECT_TRUE(none.empty());
}

TEST(RectsToCells, DisjointCoverForAnyCount) {
  std::mt19937 gen(12345);
  for (int n : {1, 33, 300}) {
    for (int round = 0; round < (n == 300 ? 1 : 5); ++round) {
      TRects input = RandomRects(gen, n);
      TRects cells;
      RectsToCells(cells, input);
      ExpectDisjointCover(input, cells);
    }
  }
}
