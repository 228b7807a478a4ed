#include "graphics/PictureCodec.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/PictureFixtures.h"

namespace qv {
namespace {

using test::MakeJpeg;
using test::MakePng;
using test::PngRecipe;

// Blue, green, red of pixel (x, y).
std::vector<int> Bgr(const TBitmap24& img, int x, int y) {
  const uint8_t* p = img.Row(y) + x * 3;
  return {p[0], p[1], p[2]};
}

TEST(PngDecode, ColourRowsComeOutBlueGreenRed) {
  PngRecipe s;
  s.Width = 2;
  s.ColorType = 2;
  s.Samples = {10, 20, 30, 200, 100, 50};
  TPngImage img = DecodePNG(MakePng(s).data(), MakePng(s).size());
  EXPECT_EQ(img.Width, 2);
  EXPECT_EQ(img.Height, 1);
  EXPECT_EQ(img.ColorType, kPngRGB);
  EXPECT_FALSE(img.HasAlpha());
  EXPECT_FALSE(img.HasTransparency);
  EXPECT_EQ(Bgr(img, 0, 0), (std::vector<int>{30, 20, 10}));
  EXPECT_EQ(Bgr(img, 1, 0), (std::vector<int>{50, 100, 200}));
}

TEST(PngDecode, GreyOfEveryDepthIsWidenedToEightBits) {
  struct Case {
    int depth;
    std::vector<int> samples;
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {1, {0, 1, 1, 0}, {0, 255, 255, 0}},
      {2, {0, 1, 2, 3}, {0, 85, 170, 255}},
      {4, {0, 5, 10, 15}, {0, 85, 170, 255}},
      {8, {0, 7, 128, 255}, {0, 7, 128, 255}},
      {16, {0x0000, 0x01FF, 0xAB12, 0xFFFF}, {0, 1, 0xAB, 255}},
  };
  for (const Case& c : cases) {
    PngRecipe s;
    s.Width = 4;
    s.ColorType = 0;
    s.BitDepth = c.depth;
    s.Samples = c.samples;
    const auto bytes = MakePng(s);
    TPngImage img = DecodePNG(bytes.data(), bytes.size());
    EXPECT_EQ(img.BitDepth, c.depth);
    for (int x = 0; x < 4; ++x) {
      const int v = c.expected[size_t(x)];
      EXPECT_EQ(Bgr(img, x, 0), (std::vector<int>{v, v, v})) << "depth " << c.depth << " x " << x;
    }
    EXPECT_FALSE(img.HasAlpha());
  }
}

TEST(PngDecode, AlphaChannelsOfTypesFourAndSixAtBothDepths) {
  PngRecipe ga;
  ga.Width = 2;
  ga.ColorType = 4;
  ga.Samples = {50, 0, 60, 255};
  auto bytes = MakePng(ga);
  TPngImage g = DecodePNG(bytes.data(), bytes.size());
  ASSERT_TRUE(g.HasAlpha());
  EXPECT_EQ(g.AlphaRow(0)[0], 0);
  EXPECT_EQ(g.AlphaRow(0)[1], 255);
  EXPECT_EQ(Bgr(g, 1, 0), (std::vector<int>{60, 60, 60}));

  PngRecipe rgba;
  rgba.Width = 1;
  rgba.Height = 2;
  rgba.ColorType = 6;
  rgba.BitDepth = 16;
  rgba.Samples = {0x1000, 0x2000, 0x3000, 0x8000, 0xFF00, 0xEE00, 0xDD00, 0x0100};
  bytes = MakePng(rgba);
  TPngImage c = DecodePNG(bytes.data(), bytes.size());
  ASSERT_TRUE(c.HasAlpha());
  EXPECT_EQ(c.BitDepth, 16);
  EXPECT_EQ(Bgr(c, 0, 0), (std::vector<int>{0x30, 0x20, 0x10}));
  EXPECT_EQ(c.AlphaRow(0)[0], 0x80);
  EXPECT_EQ(Bgr(c, 0, 1), (std::vector<int>{0xDD, 0xEE, 0xFF}));
  EXPECT_EQ(c.AlphaRow(1)[0], 0x01);
}

TEST(PngDecode, TransparentColourIsReportedButNeverBecomesAlpha) {
  PngRecipe pal;
  pal.Width = 3;
  pal.ColorType = 3;
  pal.BitDepth = 2;
  pal.Palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  pal.TrnsAlpha = {0, 128};
  pal.Samples = {0, 1, 2};
  auto bytes = MakePng(pal);
  TPngImage p = DecodePNG(bytes.data(), bytes.size());
  EXPECT_EQ(p.ColorType, kPngPalette);
  EXPECT_TRUE(p.HasTransparency);
  EXPECT_FALSE(p.HasAlpha());
  EXPECT_EQ(Bgr(p, 0, 0), (std::vector<int>{0, 0, 255}));
  EXPECT_EQ(Bgr(p, 1, 0), (std::vector<int>{0, 255, 0}));
  EXPECT_EQ(Bgr(p, 2, 0), (std::vector<int>{255, 0, 0}));

  PngRecipe rgb;
  rgb.Width = 1;
  rgb.ColorType = 2;
  rgb.Samples = {1, 2, 3};
  rgb.TrnsGrey = 1;
  rgb.TrnsGreen = 2;
  rgb.TrnsBlue = 3;
  bytes = MakePng(rgb);
  TPngImage r = DecodePNG(bytes.data(), bytes.size());
  EXPECT_TRUE(r.HasTransparency);
  EXPECT_FALSE(r.HasAlpha());
}

TEST(PngDecode, TransparentColourBecomesAlphaWhenAskedAtEveryDepth) {
  PngRecipe pal;
  pal.Width = 3;
  pal.ColorType = 3;
  pal.BitDepth = 2;
  pal.Palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  pal.TrnsAlpha = {0, 128};
  pal.Samples = {0, 1, 2};
  auto bytes = MakePng(pal);
  TPngImage p = DecodePNG(bytes.data(), bytes.size(), TPngTransparency::ToAlpha);
  ASSERT_TRUE(p.HasAlpha());
  EXPECT_EQ(p.Alpha, (std::vector<uint8_t>{0, 128, 255}));
  EXPECT_EQ(Bgr(p, 1, 0), (std::vector<int>{0, 255, 0}));

  // Grey keys compare the stored sample, also below and above 8 bits.
  for (int depth : {4, 16}) {
    PngRecipe grey;
    grey.Width = 3;
    grey.ColorType = 0;
    grey.BitDepth = depth;
    const int key = depth == 4 ? 5 : 0x1234;
    grey.Samples = {key, key + 1, key};
    grey.TrnsGrey = key;
    bytes = MakePng(grey);
    TPngImage g = DecodePNG(bytes.data(), bytes.size(), TPngTransparency::ToAlpha);
    ASSERT_TRUE(g.HasAlpha()) << depth;
    EXPECT_EQ(g.Alpha, (std::vector<uint8_t>{0, 255, 0})) << depth;
  }

  // A real alpha channel is kept as it is.
  PngRecipe rgba;
  rgba.ColorType = 6;
  rgba.Samples = {1, 2, 3, 77};
  bytes = MakePng(rgba);
  EXPECT_EQ(DecodePNG(bytes.data(), bytes.size(), TPngTransparency::ToAlpha).Alpha, (std::vector<uint8_t>{77}));
}

TEST(PngDecode, PalettesOfEveryDepth) {
  for (int depth : {1, 2, 4, 8}) {
    PngRecipe s;
    s.Width = 5;
    s.Height = 2;
    s.ColorType = 3;
    s.BitDepth = depth;
    s.Palette = {10, 11, 12, 20, 21, 22};
    s.Samples = {0, 1, 1, 0, 1, 1, 0, 0, 1, 0};
    const auto bytes = MakePng(s);
    TPngImage img = DecodePNG(bytes.data(), bytes.size());
    EXPECT_EQ(Bgr(img, 1, 0), (std::vector<int>{22, 21, 20})) << depth;
    EXPECT_EQ(Bgr(img, 4, 1), (std::vector<int>{12, 11, 10})) << depth;
  }
}

TEST(PngDecode, PaletteIndexBeyondThePaletteIsAnError) {
  PngRecipe s;
  s.Width = 2;
  s.ColorType = 3;
  s.Palette = {1, 2, 3, 4, 5, 6};
  s.Samples = {1, 7};
  const auto bytes = MakePng(s);
  try {
    DecodePNG(bytes.data(), bytes.size());
    ADD_FAILURE() << "a bad index decoded";
  } catch (const EPictureError& e) {
    EXPECT_NE(std::string(e.what()).find("palette index 7"), std::string::npos) << e.what();
  }
  // Rows are converted as they are read; a stream damaged after them (here
  // its end chunk is cut off) is still the error told.
  const std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 12);
  try {
    DecodePNG(cut.data(), cut.size());
    ADD_FAILURE() << "a cut picture decoded";
  } catch (const EPictureError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("damaged PNG picture", 0), 0u) << e.what();
  }
}

TEST(PngDecode, InterlacedPicturesEqualPlainOnes) {
  PngRecipe s;
  s.Width = 13;
  s.Height = 9;
  s.ColorType = 6;
  for (int i = 0; i < s.Width * s.Height; ++i) {
    s.Samples.push_back(i % 256);
    s.Samples.push_back((i * 7) % 256);
    s.Samples.push_back((i * 13) % 256);
    s.Samples.push_back((i * 31) % 256);
  }
  const auto plainBytes = MakePng(s);
  s.Interlaced = true;
  const auto adamBytes = MakePng(s);
  TPngImage plain = DecodePNG(plainBytes.data(), plainBytes.size());
  TPngImage adam = DecodePNG(adamBytes.data(), adamBytes.size());
  EXPECT_FALSE(plain.Interlaced);
  EXPECT_TRUE(adam.Interlaced);
  EXPECT_EQ(plain.Pixels, adam.Pixels);
  EXPECT_EQ(plain.Alpha, adam.Alpha);
  EXPECT_EQ(Bgr(adam, 12, 8), (std::vector<int>{(116 * 13) % 256, (116 * 7) % 256, 116}));
}

TEST(PngDecode, DamagedTruncatedAndForeignDataGiveClearErrors) {
  PngRecipe s;
  s.Width = 16;
  s.Height = 16;
  s.ColorType = 2;
  for (int i = 0; i < 16 * 16 * 3; ++i) s.Samples.push_back((i * 37) % 256);
  const auto good = MakePng(s);
  EXPECT_NO_THROW(DecodePNG(good.data(), good.size()));

  for (size_t cut : {size_t(4), size_t(8), size_t(20), size_t(40), good.size() / 2, good.size() - 1}) {
    try {
      DecodePNG(good.data(), cut);
      ADD_FAILURE() << "truncated at " << cut;
    } catch (const EPictureError& e) {
      EXPECT_FALSE(std::string(e.what()).empty());
    }
  }
  auto corrupt = good;
  corrupt[good.size() / 2] ^= 0x5A;  // inside the image data: its checksum fails
  EXPECT_THROW(DecodePNG(corrupt.data(), corrupt.size()), EPictureError);
#ifndef QUORVANE_FUZZING
  // A wrong chunk checksum alone is refused (only fuzz builds look past it).
  auto badCrc = good;
  badCrc[8 + 8 + 13] ^= 0x01;  // the header chunk's checksum
  EXPECT_THROW(DecodePNG(badCrc.data(), badCrc.size()), EPictureError);
#endif

  const std::string text = "GIF89a not a png at all";
  EXPECT_THROW(DecodePNG(reinterpret_cast<const uint8_t*>(text.data()), text.size()), EPictureError);

  TPngImage none = DecodePNG(nullptr, 0);
  EXPECT_TRUE(none.Empty());
}

TEST(PngDecode, OversizedHeaderIsRefusedBeforeAllocating) {
  PngRecipe s;
  s.Width = 1;
  s.ColorType = 0;
  s.Samples = {0};
  auto bytes = MakePng(s);
  // Patch the width to 100000 (the header checksum is not recomputed, and
  // libpng refuses either way).
  bytes[16] = 0;
  bytes[17] = 0x01;
  bytes[18] = 0x86;
  bytes[19] = 0xA0;
  EXPECT_THROW(DecodePNG(bytes.data(), bytes.size()), EPictureError);
}

TEST(PngEncode, RoundTripsColourAlphaAndGrey) {
  TPngImage img;
  img.Resize(3, 2);
  img.Alpha.assign(6, 0);
  for (int i = 0; i < 18; ++i) img.Pixels[size_t(i)] = uint8_t(i * 14);
  for (int i = 0; i < 6; ++i) img.Alpha[size_t(i)] = uint8_t(i * 50);
  const auto bytes = EncodePNG(img);
  TPngImage back = DecodePNG(bytes.data(), bytes.size());
  EXPECT_EQ(back.ColorType, kPngRGBAlpha);
  EXPECT_EQ(back.Pixels, img.Pixels);
  EXPECT_EQ(back.Alpha, img.Alpha);

  img.Alpha.clear();
  const auto opaque = EncodePNG(img);
  TPngImage back2 = DecodePNG(opaque.data(), opaque.size());
  EXPECT_EQ(back2.ColorType, kPngRGB);
  EXPECT_EQ(back2.Pixels, img.Pixels);

  const uint8_t grey[4] = {0, 90, 180, 255};
  const auto mask = EncodeGreyPNG(2, 2, grey);
  TPngImage m = DecodePNG(mask.data(), mask.size());
  EXPECT_EQ(m.ColorType, kPngGrey);
  EXPECT_EQ(Bgr(m, 1, 1), (std::vector<int>{255, 255, 255}));
  EXPECT_EQ(Bgr(m, 1, 0), (std::vector<int>{90, 90, 90}));

  EXPECT_THROW(EncodePNG(TPngImage{}), EPictureError);
}

std::vector<uint8_t> Gradient(int w, int h) {
  std::vector<uint8_t> bgr(size_t(w) * size_t(h) * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = bgr.data() + (size_t(y) * size_t(w) + size_t(x)) * 3;
      p[0] = uint8_t(x * 8);
      p[1] = uint8_t(y * 8);
      p[2] = 200;
    }
  return bgr;
}

void ExpectClose(const TBitmap24& img, const std::vector<uint8_t>& bgr, int tolerance) {
  ASSERT_EQ(img.Pixels.size(), bgr.size());
  for (size_t i = 0; i < bgr.size(); ++i)
    ASSERT_LE(std::abs(int(img.Pixels[i]) - int(bgr[i])), tolerance) << "byte " << i;
}

TEST(JpegDecode, BaselineProgressiveAndGrey) {
  const int w = 24, h = 16;
  const auto bgr = Gradient(w, h);
  for (bool progressive : {false, true}) {
    const auto bytes = MakeJpeg(w, h, bgr, 100, progressive);
    TBitmap24 img = DecodeJPEG(bytes.data(), bytes.size());
    EXPECT_EQ(img.Width, w);
    EXPECT_EQ(img.Height, h);
    ExpectClose(img, bgr, 12);
    // A window of rows holds just those rows, clipped to the picture.
    const TBitmap24 rows = DecodeJPEGRows(bytes.data(), bytes.size(), 5, 4);
    ASSERT_EQ(rows.Height, 4);
    EXPECT_TRUE(std::equal(rows.Pixels.begin(), rows.Pixels.end(), img.Row(5)));
    EXPECT_EQ(DecodeJPEGRows(bytes.data(), bytes.size(), h - 2, 10).Height, 2);
    EXPECT_EQ(DecodeJPEGRows(bytes.data(), bytes.size(), h, 10).Height, 0);
    // Rows below the window are still read: a cut stream is refused.
    EXPECT_THROW(DecodeJPEGRows(bytes.data(), bytes.size() - 2, 0, 1), EPictureError);
  }
  const auto greyBytes = MakeJpeg(w, h, bgr, 100, false, true);
  TBitmap24 grey = DecodeJPEG(greyBytes.data(), greyBytes.size());
  const uint8_t* p = grey.Row(5) + 7 * 3;
  EXPECT_EQ(p[0], p[1]);
  EXPECT_EQ(p[1], p[2]);
  EXPECT_NEAR(p[0], 56, 6);
}

TEST(JpegDecode, TruncatedCorruptAndEmptyDataGiveErrors) {
  const auto bytes = MakeJpeg(32, 32, Gradient(32, 32), 90, false);
  EXPECT_THROW(DecodeJPEG(bytes.data(), 0), EPictureError);
  for (size_t cut : {size_t(2), size_t(100), bytes.size() / 2, bytes.size() - 2}) {
    try {
      DecodeJPEG(bytes.data(), cut);
      ADD_FAILURE() << "truncated at " << cut;
    } catch (const EPictureError& e) {
      EXPECT_NE(std::string(e.what()).find("JPEG"), std::string::npos);
    }
  }
  std::vector<uint8_t> garbage(200, 0x42);
  EXPECT_THROW(DecodeJPEG(garbage.data(), garbage.size()), EPictureError);
}

TEST(JpegEncode, RoundTripWithinQualityLoss) {
  TBitmap24 img;
  img.Resize(16, 8);
  img.Pixels = Gradient(16, 8);
  const auto bytes = EncodeJPEG(img, 95);
  TBitmap24 back = DecodeJPEG(bytes.data(), bytes.size());
  ExpectClose(back, img.Pixels, 12);
  EXPECT_THROW(EncodeJPEG(TBitmap24{}, 90), EPictureError);
  // Out-of-range qualities are clamped rather than refused.
  EXPECT_NO_THROW(EncodeJPEG(img, 250));
}

}  // namespace
}  // namespace qv
