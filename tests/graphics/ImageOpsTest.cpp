#include "graphics/ImageOps.h"

#include <gtest/gtest.h>

#include <numbers>

#include "PNGMorfTestSupport.h"
#include "foundation/QelException.h"

namespace qv {
namespace {

using test::Bgra;
using test::MakeImage;
using test::PixelAt;
using test::SameImage;

TPngImage Pattern(int w, int h, bool alpha) {
  return MakeImage(
      w, h,
      [](int x, int y) {
        return Bgra{uint8_t(x * 37 + y * 11), uint8_t(x * 5 + y * 71), uint8_t(200 - x * 13 - y * 3),
                    uint8_t(x * 29 + y * 53 + 7)};
      },
      alpha);
}

TPngImage Uniform(int w, int h, Bgra p, bool alpha) {
  return MakeImage(w, h, [p](int, int) { return p; }, alpha);
}

TEST(ImageOpsTest, FlipsExchangeRowsAndColumnsWithTheirAlpha) {
  TPngImage src = Pattern(3, 5, true);
  TPngImage rows = src, cols = src;
  FlipRows(rows);
  FlipColumns(cols);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(PixelAt(rows, x, y).G, PixelAt(src, x, 4 - y).G);
      EXPECT_EQ(PixelAt(rows, x, y).A, PixelAt(src, x, 4 - y).A);
      EXPECT_EQ(PixelAt(cols, x, y).B, PixelAt(src, 2 - x, y).B);
      EXPECT_EQ(PixelAt(cols, x, y).A, PixelAt(src, 2 - x, y).A);
    }
}

// The 240-step model cannot hold every colour (dark saturated ones move by a
// few steps); greys and the pure colours come back within one.
TEST(ImageOpsTest, HueChangeWithoutDeltasKeepsGreysAndPureColours) {
  for (int m = 0; m < 256; ++m) {
    uint8_t r = uint8_t(m), g = uint8_t(m), b = uint8_t(m);
    HueChangePixel(r, g, b, 0, 0, 0);
    EXPECT_LE(std::abs(r - m), 1) << m;
    EXPECT_EQ(r, g);
    EXPECT_EQ(g, b);
  }
  const int pure[][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0},
                         {0, 255, 255}, {255, 0, 255}, {255, 128, 0}, {0, 128, 255}};
  for (const auto& c : pure) {
    uint8_t r = uint8_t(c[0]), g = uint8_t(c[1]), b = uint8_t(c[2]);
    HueChangePixel(r, g, b, 0, 0, 0);
    EXPECT_LE(std::abs(r - c[0]), 1) << c[0] << " " << c[1] << " " << c[2];
    EXPECT_LE(std::abs(g - c[1]), 1) << c[0] << " " << c[1] << " " << c[2];
    EXPECT_LE(std::abs(b - c[2]), 1) << c[0] << " " << c[1] << " " << c[2];
  }
}

TEST(ImageOpsTest, HueChangeTurnsAndDarkens) {
  // A third of the circle moves a pure first byte to the second.
  uint8_t r = 255, g = 0, b = 0;
  HueChangePixel(r, g, b, 80, 0, 0);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(g, 255);
  EXPECT_EQ(b, 0);
  // Taking all saturation leaves a grey of the same lightness: L = 95 of 240.
  r = 200, g = 100, b = 0;
  HueChangePixel(r, g, b, 0, -240, 0);
  EXPECT_EQ(r, g);
  EXPECT_EQ(g, b);
  EXPECT_EQ(r, 101);
  // Lightness far below the range clamps to black, far above to white.
  r = 10, g = 200, b = 90;
  HueChangePixel(r, g, b, 0, 0, -1000);
  EXPECT_EQ(r + g + b, 0);
  r = 10, g = 200, b = 90;
  HueChangePixel(r, g, b, 0, 0, 1000);
  EXPECT_EQ(r + g + b, 3 * 255);
  // Deltas at the ends of the integer range neither wrap nor crash.
  HueChangePixel(r, g, b, 2147483647, -2147483647 - 1, 2147483647);
}

TEST(ImageOpsTest, HueChangeTakesTheFirstByteAsRed) {
  TPngImage img = Uniform(2, 1, Bgra{255, 0, 0, 255}, false);
  HueChange(img, 80, 0, 0);
  EXPECT_EQ(PixelAt(img, 1, 0).B, 0);
  EXPECT_EQ(PixelAt(img, 1, 0).G, 255);
  EXPECT_EQ(PixelAt(img, 1, 0).R, 0);
}

TEST(ImageOpsTest, RotateByZeroIsTheIdentity) {
  TPngImage src = Pattern(7, 4, true);
  EXPECT_TRUE(SameImage(Rotate(src, 0, 3, 2), src));
  TPngImage opaque = Pattern(5, 5, false);
  TPngImage out = Rotate(opaque, 0, 2, 2);
  EXPECT_FALSE(out.HasAlpha());
  EXPECT_TRUE(SameImage(out, opaque));
}

TEST(ImageOpsTest, RotateByNinetyTurnsAndBlanksWhatComesFromOutside) {
  TPngImage src = Pattern(4, 4, true);
  TPngImage out = Rotate(src, 90 / 180.0 * std::numbers::pi, 2, 2);
  // Output (j, i) comes from source (4 - i, j): row 0 reads column 4, outside.
  for (int j = 0; j < 4; ++j) {
    Bgra p = PixelAt(out, j, 0);
    EXPECT_EQ(p.B + p.G + p.R + p.A, 0) << j;
  }
  for (int i = 1; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      Bgra p = PixelAt(out, j, i), q = PixelAt(src, 4 - i, j);
      EXPECT_LE(std::abs(p.B - q.B), 1);
      EXPECT_LE(std::abs(p.G - q.G), 1);
      EXPECT_LE(std::abs(p.R - q.R), 1);
      EXPECT_LE(std::abs(p.A - q.A), 1);
    }
}

TEST(ImageOpsTest, ScaleToTheSameSizeIsTheIdentity) {
  TPngImage src = Pattern(9, 6, true);
  EXPECT_TRUE(SameImage(Scale(src, 9, 6), src));
}

TEST(ImageOpsTest, ScaleUpInterpolatesAndRepeatsTheLastColumn) {
  TPngImage src = MakeImage(2, 1, [](int x, int) { return Bgra{uint8_t(x * 100), 0, 0, uint8_t(255 - x * 100)}; }, true);
  TPngImage out = Scale(src, 4, 2);
  ASSERT_EQ(out.Width, 4);
  ASSERT_EQ(out.Height, 2);
  ASSERT_TRUE(out.HasAlpha());
  const int expected[4] = {0, 50, 100, 100};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(PixelAt(out, x, y).B, expected[x]) << x;
      EXPECT_EQ(PixelAt(out, x, y).A, 255 - expected[x]) << x;
    }
}

TEST(ImageOpsTest, ReducingScaleKeepsASingleColourAndWeighsNeighbours) {
  TPngImage flat = Uniform(7, 5, Bgra{12, 34, 56, 200}, true);
  TPngImage small = Scale(flat, 3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      Bgra p = PixelAt(small, x, y);
      EXPECT_EQ(p.B, 12);
      EXPECT_EQ(p.G, 34);
      EXPECT_EQ(p.R, 56);
      EXPECT_EQ(p.A, 200);
    }
  // Half size: column 0 takes source 0 (weight 100) and 1 (weight 50); column
  // 1 takes source 2 alone; source 3 rounds to 2 and is left out.
  TPngImage row = MakeImage(4, 1, [](int x, int) { return Bgra{uint8_t(x == 1 ? 150 : x * 10), 0, 0, 255}; }, false);
  TPngImage half = Scale(row, 2, 1);
  EXPECT_FALSE(half.HasAlpha());
  EXPECT_EQ(PixelAt(half, 0, 0).B, 50);
  EXPECT_EQ(PixelAt(half, 1, 0).B, 20);
}

TEST(ImageOpsTest, MixedScalingFillsEveryPixel) {
  TPngImage flat = Uniform(3, 8, Bgra{90, 80, 70, 60}, true);
  TPngImage out = Scale(flat, 10, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 10; ++x) {
      Bgra p = PixelAt(out, x, y);
      EXPECT_EQ(p.B, 90);
      EXPECT_EQ(p.A, 60);
    }
  TPngImage wide = Scale(Pattern(8, 2, false), 2, 9);
  EXPECT_EQ(wide.Width, 2);
  EXPECT_EQ(wide.Height, 9);
}

TEST(ImageOpsTest, SizesOutsideTheLimitsAreRefused) {
  EXPECT_THROW(BlankImage(0, 5), Exception);
  EXPECT_THROW(BlankImage(5, -1), Exception);
  EXPECT_THROW(Scale(Pattern(2, 2, false), kMaxPictureSide + 1, 1), Exception);
  try {
    BlankImage(20000, 20000);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Invalid picture size 20000 x 20000!");
  }
}

TEST(ImageOpsTest, CropCopiesTheRectangleAndMakesItOpaque) {
  TPngImage src = Pattern(6, 5, false);
  TPngImage out = Crop(src, Rect(1, 2, 4, 5));
  ASSERT_EQ(out.Width, 3);
  ASSERT_EQ(out.Height, 3);
  ASSERT_TRUE(out.HasAlpha());
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) {
      Bgra p = PixelAt(out, x, y), q = PixelAt(src, x + 1, y + 2);
      EXPECT_EQ(p.B, q.B);
      EXPECT_EQ(p.R, q.R);
      EXPECT_EQ(p.A, 255);
    }
}

TImageDraw DrawAt(int left, int top, const TPngImage& src) {
  TImageDraw d;
  d.Left = left;
  d.Top = top;
  d.Source = Rect(0, 0, src.Width - 1, src.Height - 1);
  return d;
}

TEST(ImageOpsTest, FirstDrawingReplacesLaterOnesBlend) {
  TPngImage canvas = BlankImage(3, 1);
  TPngImage src = MakeImage(2, 1, [](int x, int) { return Bgra{200, 100, 50, uint8_t(x == 0 ? 128 : 0)}; }, true);
  DrawImage(canvas, src, DrawAt(1, 0, src), true);
  EXPECT_EQ(PixelAt(canvas, 1, 0).B, 200);  // replaced although half transparent
  EXPECT_EQ(PixelAt(canvas, 1, 0).R, 50);
  EXPECT_EQ(PixelAt(canvas, 2, 0).B, 0);  // alpha 0 is skipped
  EXPECT_EQ(PixelAt(canvas, 0, 0).B, 0);

  TPngImage over = Uniform(1, 1, Bgra{0, 0, 0, 128}, true);
  DrawImage(canvas, over, DrawAt(1, 0, over), false);
  // h = (255 x 128) >> 8 = 127; d = ((255 - 127) x 200 + 127 x 0) >> 8 = 100
  EXPECT_EQ(PixelAt(canvas, 1, 0).B, 100);
  TImageDraw faint = DrawAt(1, 0, over);
  faint.Alfa = 0;
  DrawImage(canvas, over, faint, false);
  EXPECT_EQ(PixelAt(canvas, 1, 0).B, 99);  // ((255 - 0) x 100) >> 8
}

TEST(ImageOpsTest, DrawingClipsToSourceAndCanvas) {
  TPngImage canvas = BlankImage(4, 4);
  TPngImage src = Uniform(3, 3, Bgra{9, 9, 9, 255}, true);
  TImageDraw d = DrawAt(-2, 2, src);
  d.Source = Rect(-5, -5, 1000000, 2000000000);  // far larger than the picture
  DrawImage(canvas, src, d, true);
  MergeAlpha(canvas, src, d, true);
  // Source (x, y) lands at (x - 5 - 2, y - 5 + 2) + ... only source pixels exist:
  // canvas (cx, cy) = (-2 + sx + 5, 2 + sy + 5): nothing of the source reaches it.
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(canvas, x, y).B, 0);
  d.Left = 0;
  d.Top = 0;
  d.Source = Rect(1, 1, 50, 50);
  DrawImage(canvas, src, d, false);
  EXPECT_EQ(PixelAt(canvas, 0, 0).B, 9);
  EXPECT_EQ(PixelAt(canvas, 1, 1).B, 9);
  EXPECT_EQ(PixelAt(canvas, 2, 2).B, 0);
}

TEST(ImageOpsTest, MergeAlphaStartsTransparentAndCombinesCoverage) {
  TPngImage canvas = BlankImage(3, 1);
  TPngImage src = MakeImage(2, 1, [](int x, int) { return Bgra{0, 0, 0, uint8_t(x == 0 ? 255 : 128)}; }, true);
  MergeAlpha(canvas, src, DrawAt(0, 0, src), true);
  ASSERT_TRUE(canvas.HasAlpha());
  EXPECT_EQ(PixelAt(canvas, 0, 0).A, 255);
  EXPECT_EQ(PixelAt(canvas, 1, 0).A, 129);  // 255 - ((255 x 127) >> 8)
  EXPECT_EQ(PixelAt(canvas, 2, 0).A, 0);
  TImageDraw half = DrawAt(1, 0, src);
  half.Alfa = 128;
  MergeAlpha(canvas, src, half, false);
  // s = (255 x 128) >> 8 = 127, c = 129: 255 - ((126 x 128) >> 8) = 192
  EXPECT_EQ(PixelAt(canvas, 1, 0).A, 192);
  // s = (128 x 128) >> 8 = 64, c = 0: 255 - ((255 x 191) >> 8) = 65
  EXPECT_EQ(PixelAt(canvas, 2, 0).A, 65);

  // An opaque canvas stays opaque under later transparent pictures.
  TPngImage opaque = BlankImage(2, 1);
  MergeAlpha(opaque, src, DrawAt(0, 0, src), false);
  EXPECT_FALSE(opaque.HasAlpha());
}

}  // namespace
}  // namespace qv
