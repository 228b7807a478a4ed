#include <gtest/gtest.h>

#include <random>

#include "graphics/BlendKernels.h"
#include "graphics/SurfaceTestSupport.h"

namespace qv {
namespace {

using test::EngineOnDisplay;

// Colour values are 0x00BBGGRR: red 200, green 10, blue 0.
constexpr uint32_t kReddish = 0x00000AC8;
// Red 200, green 100, blue 50.
constexpr uint32_t kWarm = 0x003264C8;

// ---------------------------------------------------------------- 32 bits

TEST(AlphaBlend32, TheRuleOnChosenPixels) {
  EngineOnDisplay t(kFormatXRGB8888);
  t.MakeAlpha("Src", 4, 1, 0, 255);
  t.Make("Dst", 4, 1);
  t.Set("Src", 0, 0, 0x00000000);
  t.Alpha("Src", 0, 0) = 1;  // a = (255 * 1) >> 8 = 0: 255 becomes 254
  t.Set("Dst", 0, 0, 0x77FFFFFF);
  t.Set("Src", 1, 0, 0xAA112233);  // fully opaque: copied whole, byte 3 too
  t.Set("Src", 2, 0, 0x00C86432);
  t.Alpha("Src", 2, 0) = 0;  // skipped
  t.Set("Dst", 2, 0, 0x00ABCDEF);
  t.Set("Src", 3, 0, 0x00C86432);
  t.Set("Dst", 3, 0, 0x00102030);
  t.engine.DrawWithAlphaChannel("Src", "Dst", 0, 0, 255, nullptr, 0, 0, nullptr);
  EXPECT_EQ(t.Get("Dst", 0, 0), 0x77FEFEFEu);
  EXPECT_EQ(t.Get("Dst", 1, 0), 0xAA112233u);
  EXPECT_EQ(t.Get("Dst", 2, 0), 0x00ABCDEFu);
  EXPECT_EQ(t.Get("Dst", 3, 0), 0x00C86432u);

  // Alpha 128 on an opaque, untinted pixel: a = 127, (127 x src + 128 x dst) >> 8.
  t.Set("Dst", 3, 0, 0x00102030);
  t.engine.DrawWithAlphaChannel("Src", "Dst", 0, 0, 128, nullptr, 0, 0, nullptr);
  EXPECT_EQ(t.Get("Dst", 3, 0), 0x006B4130u);
}

TEST(AlphaBlend32, TintFloorsTheSignedProduct) {
  EngineOnDisplay t(kFormatXRGB8888);
  t.MakeAlpha("Src", 1, 1, 0x00646464, 255);
  t.Make("Dst", 1, 1);
  // Weight 1 gives almost the pure colour: red 200 + floor(-100 / 256) = 199.
  t.engine.DrawWithAlphaChannel("Src", "Dst", 0, 0, 255, nullptr, kReddish, 1, nullptr);
  EXPECT_EQ(t.Get("Dst", 0, 0), 0x00C50900u);

  // A weight table of zeros makes every weight 255 - 0 = 255.
  TWeightTable table{};
  t.Set("Dst", 0, 0, 0);
  t.engine.DrawWithAlphaChannel("Src", "Dst", 0, 0, 255, nullptr, kReddish, 128, &table);
  EXPECT_EQ(t.Get("Dst", 0, 0), 0x00636262u);
}

TEST(AlphaBlend32, ClippingAtEveryEdge) {
  EngineOnDisplay t(kFormatXRGB8888);
  t.MakeAlpha("Src", 10, 4, 0, 255);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 10; ++x) t.Set("Src", x, y, uint32_t(0x100 + x + 16 * y));
  auto fresh = [&] {
    t.engine.DeleteSurface("Dst");
    t.Make("Dst", 6, 3);
  };
  auto src = [](int x, int y) { return uint32_t(0x100 + x + 16 * y); };

  fresh();  // X = -5 without a rectangle starts at source column 5
  t.engine.DrawWithAlphaChannel("Src", "Dst", -5, 0, 255, nullptr, 0, 0, nullptr);
  EXPECT_EQ(t.Get("Dst", 0, 0), src(5, 0));
  EXPECT_EQ(t.Get("Dst", 4, 2), src(9, 2));
  EXPECT_EQ(t.Get("Dst", 5, 0), 0u);

  fresh();  // wider and taller than the target: cut at its right and bottom
  t.engine.DrawWithAlphaChannel("Src", "Dst", 2, 1, 255, nullptr, 0, 0, nullptr);
  EXPECT_EQ(t.Get("Dst", 5, 1), src(3, 0));
  EXPECT_EQ(t.Get("Dst", 5, 2), src(3, 1));
  EXPECT_EQ(t.Get("Dst", 1, 1), 0u);

  fresh();  // an explicit rectangle is cut as well, nothing wraps into the next row
  const TRect wide{0, 0, 9, 0};
  t.engine.DrawWithAlphaChannel("Src", "Dst", 2, 0, 255, &wide, 0, 0, nullptr);
  EXPECT_EQ(t.Get("Dst", 5, 0), src(3, 0));
  EXPECT_EQ(t.Get("Dst", 0, 1), 0u);

  fresh();  // a rectangle reaching outside the source keeps its placement
  const TRect outside{-2, -1, 3, 1};
  t.engine.DrawWithAlphaChannel("Src", "Dst", 0, 0, 255, &outside, 0, 0, nullptr);
  EXPECT_EQ(t.Get("Dst", 2, 1), src(0, 0));
  EXPECT_EQ(t.Get("Dst", 5, 2), src(3, 1));
  EXPECT_EQ(t.Get("Dst", 1, 1), 0u);
  EXPECT_EQ(t.Get("Dst", 2, 0), 0u);

  fresh();  // negative Y, inverted and far-away rectangles
  t.engine.DrawWithAlphaChannel("Src", "Dst", 0, -3, 255, nullptr, 0, 0, nullptr);
  EXPECT_EQ(t.Get("Dst", 0, 0), src(0, 3));
  EXPECT_EQ(t.Get("Dst", 0, 1), 0u);
  const TRect inverted{5, 2, 2, 0};
  t.engine.DrawWithAlphaChannel("Src", "Dst", 1, 1, 255, &inverted, 0, 0, nullptr);
  t.engine.DrawWithAlphaChannel("Src", "Dst", -2147483647, 2147483647, 255, nullptr, 0, 0, nullptr);
  t.engine.DrawWithAlphaChannel("Src", "Dst", 2147483647, -2147483647, 255, nullptr, 0, 0, nullptr);
  EXPECT_EQ(t.Get("Dst", 1, 1), 0u);

  // Unknown names draw nothing.
  t.engine.DrawWithAlphaChannel("Nope", "Dst", 0, 0, 255, nullptr, 0, 0, nullptr);
  t.engine.DrawWithAlphaChannel("Src", "Nope", 0, 0, 255, nullptr, 0, 0, nullptr);
}

TEST(AlphaBlend32, SourceWithoutAlphaIsCopiedOpaque) {
  EngineOnDisplay t(kFormatXRGB8888);
  t.Make("Src", 4, 2, 0x00123456);
  t.Set("Src", 1, 0, 0x00000001);
  t.Set("Src", 2, 0, 0x00000002);
  t.Make("Dst", 4, 2);
  const TRect r{1, 0, 2, 0};  // inclusive: two pixels of one row
  t.engine.DrawWithAlphaChannel("Src", "Dst", 0, 0, 10, &r, kReddish, 1, nullptr);
  EXPECT_EQ(t.Get("Dst", 0, 0), 1u);
  EXPECT_EQ(t.Get("Dst", 1, 0), 2u);
  EXPECT_EQ(t.Get("Dst", 2, 0), 0u);
  EXPECT_EQ(t.Get("Dst", 0, 1), 0u);
  t.engine.DrawWithAlphaChannel("Src", "Dst", 3, 1, 255, nullptr, 0, 0, nullptr);
  EXPECT_EQ(t.Get("Dst", 3, 1), 0x00123456u);
}

// The rows are blended several pixels a step; they must agree with the rule
// applied one pixel at a time, for every weight and global alpha.
TEST(BlendRows, FastRowsAgreeWithThePixelRule) {
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> byte(0, 255), pick(0, 3);
  TWeightTable table;
  for (auto& t : table) t = uint8_t(byte(rng));
  const TMasks16 masks565{0xF800, 0x07E0, 0x001F}, masks555{0x7C00, 0x03E0, 0x001F};
  for (int n : {1, 3, 4, 5, 8, 13, 17, 64, 257}) {
    for (int globalAlpha : {255, 254, 128, 1, 0}) {
      for (int weight : {0, 1, 100, 254, 255}) {
        std::vector<uint8_t> src(size_t(n) * 4, 0), dst(size_t(n) * 4, 0), alpha(static_cast<size_t>(n), 0);
        for (auto& b : src) b = uint8_t(byte(rng));
        for (auto& b : dst) b = uint8_t(byte(rng));
        // Mostly the values the fast paths treat apart: 0 and 255.
        for (auto& a : alpha) {
          const int k = pick(rng);
          a = uint8_t(k == 0 ? 0 : k == 1 ? 255 : byte(rng));
        }
        const uint32_t color = uint32_t(byte(rng)) | uint32_t(byte(rng)) << 8 | uint32_t(byte(rng)) << 16;
        const TWeightTable* tables[2] = {nullptr, &table};
        for (const TWeightTable* t : tables) {
          const TTint tint{color, uint8_t(weight), t, 0};
          std::vector<uint8_t> expected = dst, got = dst;
          BlendRow32Reference(expected.data(), src.data(), alpha.data(), n, uint8_t(globalAlpha), tint);
          BlendRow32(got.data(), src.data(), alpha.data(), n, uint8_t(globalAlpha), tint);
          ASSERT_EQ(got, expected) << "32 bits, n " << n << " alpha " << globalAlpha << " weight " << weight;
        }
        for (const TMasks16& m : {masks565, masks555}) {
          const bool six = m.G == 0x07E0;
          const uint32_t c16 = six ? ((color & 0xFF) >> 3 << 11) | ((color >> 8 & 0xFF) >> 2 << 5) | (color >> 19 & 0x1F)
                                   : ((color & 0xFF) >> 3 << 10) | ((color >> 8 & 0xFF) >> 3 << 5) | (color >> 19 & 0x1F);
          const TTint tint{color, uint8_t(weight), nullptr, c16};
          std::vector<uint8_t> expected = dst, got = dst;
          BlendRow16Reference(expected.data(), src.data(), alpha.data(), n, uint8_t(globalAlpha), tint, m);
          BlendRow16(got.data(), src.data(), alpha.data(), n, uint8_t(globalAlpha), tint, m);
          ASSERT_EQ(got, expected) << "16 bits, n " << n << " alpha " << globalAlpha << " weight " << weight;
        }
      }
    }
  }
}

// ---------------------------------------------------------------- 16 bits

TEST(AlphaBlend16, MasksFormulasIn565And555) {
  struct Case {
    TPixelFormat format;
    uint16_t white;
    uint16_t halfOnBlack;
  };
  for (const Case& c : {Case{kFormatRGB565, 0xFFFF, 0x7BEF}, Case{kFormatRGB555, 0x7FFF, 0x3DEF}}) {
    EngineOnDisplay t(c.format);
    t.MakeAlpha("Src", 3, 1, c.white, 255);
    t.Make("Dst", 3, 1);
    t.Alpha("Src", 0, 0) = 1;  // a = 0: untouched in 16 bits
    t.Set("Dst", 0, 0, 0x1234);
    t.Alpha("Src", 2, 0) = 0;
    t.engine.DrawWithAlphaChannel("Src", "Dst", 0, 0, 255, nullptr, 0, 0, nullptr);
    EXPECT_EQ(t.Get("Dst", 0, 0), 0x1234u);
    EXPECT_EQ(t.Get("Dst", 1, 0), c.white);
    EXPECT_EQ(t.Get("Dst", 2, 0), 0u);
    t.Set("Dst", 1, 0, 0);
    t.engine.DrawWithAlphaChannel("Src", "Dst", 0, 0, 128, nullptr, 0, 0, nullptr);
    EXPECT_EQ(t.Get("Dst", 1, 0), c.halfOnBlack);
  }
}

TEST(AlphaBlend16, TintWorksUnderTheMasks) {
  EngineOnDisplay t(kFormatRGB565);
  t.MakeAlpha("Src", 1, 1, 0xFFFF, 255);
  t.Make("Dst", 1, 1);
  EXPECT_EQ(t.engine.Color16(kReddish), 0xC840u);
  t.engine.DrawWithAlphaChannel("Src", "Dst", 0, 0, 255, nullptr, kReddish, 1, nullptr);
  EXPECT_EQ(t.Get("Dst", 0, 0), 0xC020u);
  // The weight table plays no part in 16 bits.
  TWeightTable table{};
  t.Set("Dst", 0, 0, 0);
  t.engine.DrawWithAlphaChannel("Src", "Dst", 0, 0, 255, nullptr, kReddish, 1, &table);
  EXPECT_EQ(t.Get("Dst", 0, 0), 0xC020u);
}

TEST(AlphaBlend16, ClipsLikeThe32BitBlit) {
  EngineOnDisplay t(kFormatRGB555);
  t.MakeAlpha("Src", 5, 5, 0x7FFF, 255);
  t.Make("Dst", 3, 3);
  const TRect r{0, 0, 4, 4};
  t.engine.DrawWithAlphaChannel("Src", "Dst", 1, 1, 255, &r, 0, 0, nullptr);
  EXPECT_EQ(t.Get("Dst", 2, 2), 0x7FFFu);
  EXPECT_EQ(t.Get("Dst", 0, 0), 0u);
  EXPECT_EQ(t.Get("Dst", 0, 2), 0u);
}

// ---------------------------------------------------------------- fonts

TEST(FontChars, GlyphsInTheirColourClippedEverywhere) {
  EngineOnDisplay t(kFormatXRGB8888);
  t.MakeAlpha("Font", 4, 3, 0x00FFFFFF, 255);
  t.Set("Font", 0, 1, 0x00000000);
  t.Make("Dst", 6, 4);
  TCharsRects chars(1);
  chars[0] = TCharRect{0, 0, 1, 2, 1, 0, kReddish, 255};
  // A count above the records is clamped to them.
  t.engine.DrawFontChars("Font", "Dst", 5, chars);
  const uint32_t glyph = 0x00C60900;  // weight 1 on white
  EXPECT_EQ(t.Get("Dst", 1, 0), glyph);
  EXPECT_EQ(t.Get("Dst", 2, 1), glyph);
  EXPECT_EQ(t.Get("Dst", 1, 1), 0x00C50800u);  // a black source pixel takes the colour too
  EXPECT_EQ(t.Get("Dst", 1, 2), 0u);  // the bottom row is not drawn
  EXPECT_EQ(t.Get("Dst", 3, 0), 0u);

  t.engine.DeleteSurface("Dst");
  t.Make("Dst", 6, 4);
  chars = {TCharRect{0, 0, 3, 3, 4, -1, kReddish, 255},  // above the top and past the right edge
           TCharRect{0, 0, 1, 3, 0, 2, kReddish, 255}};
  t.engine.Height = 3;  // nothing at or below the screen's height
  t.engine.DrawFontChars("Font", "Dst", 2, chars);
  EXPECT_EQ(t.Get("Dst", 4, 0), 0x00C50800u);  // source row 1
  EXPECT_EQ(t.Get("Dst", 5, 1), glyph);
  EXPECT_EQ(t.Get("Dst", 4, 2), 0u);
  EXPECT_EQ(t.Get("Dst", 1, 2), glyph);
  EXPECT_EQ(t.Get("Dst", 1, 3), 0u);
  t.engine.DrawFontChars("Font", "Dst", -3, chars);
}

// ---------------------------------------------------------------- ramp and rectangles

TEST(AlphaRamp, RampShapesAndByteOrder) {
  EngineOnDisplay t(kFormatXRGB8888);
  t.MakeAlpha("Src", 4, 1, 0x00FFFFFF, 0);
  const uint8_t alphas[4] = {0, 128, 255, 64};
  for (int i = 0; i < 4; ++i) t.Alpha("Src", i, 0) = alphas[i];
  t.Make("Dst", 4, 1);
  t.engine.DrawWithAlphaRamp("Src", "Dst", 0, 0, nullptr, kWarm, 0, 128, 255, 255);
  EXPECT_EQ(t.Get("Dst", 0, 0), 0u);
  EXPECT_EQ(t.Get("Dst", 1, 0), 0x00C76331u);  // peak: blue in byte 0, red in byte 2
  EXPECT_EQ(t.Get("Dst", 2, 0), 0u);
  // 64 lies halfway up: 127.5 rounds to 128.
  EXPECT_EQ(t.Get("Dst", 3, 0), ((200u * 128 >> 8) << 16) | ((100u * 128 >> 8) << 8) | (50u * 128 >> 8));

  // Peak = Low: a step up at Low instead of a division by zero.
  const uint8_t step[4] = {99, 100, 150, 200};
  for (int i = 0; i < 4; ++i) t.Alpha("Src", i, 0) = step[i];
  t.engine.DeleteSurface("Dst");
  t.Make("Dst", 4, 1);
  t.engine.DrawWithAlphaRamp("Src", "Dst", 0, 0, nullptr, 0x00FFFFFF, 100, 100, 200, 200);
  EXPECT_EQ(t.Get("Dst", 0, 0), 0u);
  EXPECT_EQ(t.Get("Dst", 1, 0), 0x00C7C7C7u);
  EXPECT_EQ(t.Get("Dst", 2, 0), 0x00636363u);
  EXPECT_EQ(t.Get("Dst", 3, 0), 0u);
  // High = Peak: the top edge is a step down.
  t.engine.DrawWithAlphaRamp("Src", "Dst", 0, 0, nullptr, 0x00FFFFFF, 0, 200, 200, 255);
  EXPECT_NE(t.Get("Dst", 3, 0), 0u);

  // A source without alpha draws nothing.
  t.Make("Plain", 2, 2, 0x00FFFFFF);
  const uint32_t before = t.Get("Dst", 0, 0);
  t.engine.DrawWithAlphaRamp("Plain", "Dst", 0, 0, nullptr, 0x00FFFFFF, 0, 1, 255, 255);
  EXPECT_EQ(t.Get("Dst", 0, 0), before);
}

TEST(AlphaRamp, SixteenBitsWorkUnderTheMasks) {
  EngineOnDisplay t(kFormatRGB565);
  t.MakeAlpha("Src", 1, 1, 0, 128);
  t.Make("Dst", 1, 1);
  t.engine.DrawWithAlphaRamp("Src", "Dst", -1, 0, nullptr, 0x00FFFFFF, 0, 128, 255, 255);
  EXPECT_EQ(t.Get("Dst", 0, 0), 0u);  // placed off the target
  t.engine.DrawWithAlphaRamp("Src", "Dst", 0, 0, nullptr, 0x00FFFFFF, 0, 128, 255, 255);
  EXPECT_EQ(t.Get("Dst", 0, 0), 0xF7DEu);
}

TEST(BlendRect, BothDepthsAndClipping) {
  EngineOnDisplay t(kFormatXRGB8888);
  t.Make("Dst", 4, 3, 0x00FFFFFF);
  t.engine.BlendRect("Dst", TRect{0, 0, 1, 1}, kWarm, 255);
  EXPECT_EQ(t.Get("Dst", 0, 0), 0x00C76331u);
  t.engine.BlendRect("Dst", TRect{1, 0, 2, 1}, kWarm, 0);
  EXPECT_EQ(t.Get("Dst", 1, 0), 0x00FEFEFEu);
  t.engine.BlendRect("Dst", TRect{2, 1, 100, 100}, 0, 255);
  EXPECT_EQ(t.Get("Dst", 3, 2), 0u);
  EXPECT_EQ(t.Get("Dst", 2, 1), 0u);
  EXPECT_EQ(t.Get("Dst", 1, 1), 0x00FFFFFFu);
  t.engine.BlendRect("Dst", TRect{3, 3, 1, 1}, 0, 255);
  t.engine.BlendRect("Dst", TRect{-5, -5, -1, -1}, 0, 255);
  EXPECT_EQ(t.Get("Dst", 0, 1), 0x00FFFFFFu);

  EngineOnDisplay s(kFormatRGB565);
  s.Make("Dst", 2, 1);
  s.engine.BlendRect("Dst", TRect{-3, 0, 1, 9}, 0x00FFFFFF, 255);
  EXPECT_EQ(s.Get("Dst", 0, 0), 0xF7DEu);
  EXPECT_EQ(s.Get("Dst", 1, 0), 0u);
}

// ---------------------------------------------------------------- alpha buffers

TEST(AlphaBuffers, MultiplyAndCombine) {
  EngineOnDisplay t(kFormatXRGB8888);
  t.MakeAlpha("Src", 3, 1, 0, 0);
  t.Alpha("Src", 0, 0) = 255;
  t.Alpha("Src", 1, 0) = 128;
  t.Make("Bare", 3, 1);
  t.engine.MultiplyAlpha("Src", "Bare", 0, 0, nullptr);
  EXPECT_EQ(t.engine.Find("Bare")->AlphaBuffer, std::vector<uint8_t>(3, 0));

  t.MakeAlpha("Mul", 3, 1, 0, 255);
  t.Alpha("Mul", 1, 0) = 200;
  t.engine.MultiplyAlpha("Src", "Mul", 0, 0, nullptr);
  EXPECT_EQ(t.engine.Find("Mul")->AlphaBuffer, (std::vector<uint8_t>{255, 100, 0}));

  // A target smaller than the source, and a shift to the left.
  t.MakeAlpha("Small", 2, 1, 0, 255);
  t.engine.MultiplyAlpha("Src", "Small", -1, 0, nullptr);
  EXPECT_EQ(t.engine.Find("Small")->AlphaBuffer, (std::vector<uint8_t>{127, 0}));

  t.MakeAlpha("Comb", 3, 1, 0, 0);
  t.Alpha("Comb", 1, 0) = 100;
  t.engine.CombineAlpha("Src", "Comb", 0, 0, nullptr, 255);
  // s = 255 on 0 gives 255; s = 128 on 100 gives 178; s = 0 on 0 gives 1.
  EXPECT_EQ(t.engine.Find("Comb")->AlphaBuffer, (std::vector<uint8_t>{255, 178, 1}));
  t.MakeAlpha("Full", 2, 2, 0, 255);
  const TRect r{0, 0, 2, 0};
  t.engine.CombineAlpha("Src", "Full", 1, 1, &r, 0);
  EXPECT_EQ(t.engine.Find("Full")->AlphaBuffer, std::vector<uint8_t>(4, 255));

  // A source without alpha does nothing, not even to the target's buffer.
  t.Make("NoAlpha", 2, 1);
  t.Make("Target", 2, 1);
  t.engine.MultiplyAlpha("NoAlpha", "Target", 0, 0, nullptr);
  EXPECT_EQ(t.engine.Find("Target")->AlphaPitch, -1);
}

TEST(AlphaBuffers, ChannelToAlphaInBothDepths) {
  EngineOnDisplay t(kFormatXRGB8888);
  t.Make("Pic", 2, 1);
  t.Set("Pic", 0, 0, 0x11223344);
  t.Set("Pic", 1, 0, 0xAABBCCDD);
  t.engine.ChannelToAlpha("Pic", "Pic", nullptr, 0);
  EXPECT_EQ(t.engine.Find("Pic")->AlphaBuffer, (std::vector<uint8_t>{0x44, 0xDD}));
  t.engine.ChannelToAlpha("Pic", "Pic", nullptr, 3);
  EXPECT_EQ(t.engine.Find("Pic")->AlphaBuffer, (std::vector<uint8_t>{0x11, 0xAA}));
  const TRect second{1, 0, 5, 5};
  t.engine.ChannelToAlpha("Pic", "Pic", &second, 1);
  EXPECT_EQ(t.engine.Find("Pic")->AlphaBuffer, (std::vector<uint8_t>{0x11, 0xCC}));
  t.engine.ChannelToAlpha("Pic", "Pic", nullptr, 4);  // no fifth byte to a pixel
  EXPECT_EQ(t.engine.Find("Pic")->AlphaBuffer, (std::vector<uint8_t>{0x11, 0xCC}));
  // A target smaller than the source is written only where it has bytes.
  t.Make("Tiny", 1, 1);
  t.engine.ChannelToAlpha("Pic", "Tiny", nullptr, 0);
  EXPECT_EQ(t.engine.Find("Tiny")->AlphaBuffer, (std::vector<uint8_t>{0x44}));

  EngineOnDisplay s(kFormatRGB565);
  s.Make("Pic", 2, 1);
  s.Set("Pic", 0, 0, 0xF800);
  s.Set("Pic", 1, 0, 0x07FF);
  s.engine.ChannelToAlpha("Pic", "Pic", nullptr, 2);
  EXPECT_EQ(s.engine.Find("Pic")->AlphaBuffer, (std::vector<uint8_t>{248, 0}));
}

TEST(AlphaBuffers, ColourSetsAndKeys) {
  EngineOnDisplay t(kFormatXRGB8888);
  t.Make("Pic", 3, 2);
  const uint32_t a = 0x00010203, b = 0x00040506, c = 0x00070809;
  const uint32_t colours[2][3] = {{a, b, c}, {a, c, b}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) t.Set("Pic", x, y, colours[y][x]);
  t.engine.ColorSetToAlpha("Pic", "Pic", TPoints{{0, 0}, {2, 0}, {10, 10}, {-1, 0}}, nullptr, 200);
  EXPECT_EQ(t.engine.Find("Pic")->AlphaBuffer, (std::vector<uint8_t>{200, 0, 200, 200, 200, 0}));
  const TRect right{2, 0, 2, 1};
  t.engine.ColorSetToAlpha("Pic", "Pic", TPoints{{1, 0}}, &right, 9);
  EXPECT_EQ(t.engine.Find("Pic")->AlphaBuffer, (std::vector<uint8_t>{200, 0, 0, 200, 200, 9}));

  TRect bounds;
  t.engine.ColorKeyToAlpha("Pic", "Pic", TPoint{1, 0}, nullptr, 50, bounds);
  EXPECT_EQ(bounds, (TRect{1, 0, 2, 1}));
  EXPECT_EQ(t.engine.Find("Pic")->AlphaBuffer, (std::vector<uint8_t>{0, 50, 0, 0, 0, 50}));
  // No match: the start values, an empty rectangle, and zero alpha.
  const TRect left{0, 0, 0, 1};
  t.engine.ColorKeyToAlpha("Pic", "Pic", TPoint{1, 0}, &left, 50, bounds);
  EXPECT_EQ(bounds, (TRect{1000, 1000, -1000, -1000}));
  EXPECT_TRUE(bounds.IsEmpty());
  EXPECT_EQ(t.engine.Find("Pic")->AlphaBuffer, (std::vector<uint8_t>{0, 50, 0, 0, 0, 50}));
  t.engine.ColorKeyToAlpha("Pic", "Pic", TPoint{7, 7}, nullptr, 50, bounds);
  EXPECT_TRUE(bounds.IsEmpty());
  EXPECT_EQ(t.engine.Find("Pic")->AlphaBuffer, std::vector<uint8_t>(6, 0));
}

TEST(Bumps, NoMapIsEverMadeSoNothingHappens) {
  EngineOnDisplay t(kFormatXRGB8888);
  t.MakeAlpha("Pic", 2, 2, 0, 255);
  EXPECT_EQ(t.engine.IndexOfBump("Bump"), -1);
  t.engine.FillBump("Bump", 0, 0, nullptr);
  t.engine.DrawBump("A", "Bump", 0, 0, nullptr);
  t.engine.ClearBumpUnderAlpha("Bump", "Pic", nullptr);
  EXPECT_TRUE(t.engine.Bumps.empty());
}

}  // namespace
}  // namespace qv
