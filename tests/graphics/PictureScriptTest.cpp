#include "graphics/PictureScript.h"

#include <gtest/gtest.h>

#include "PNGMorfTestSupport.h"
#include "PictureFixtures.h"
#include "foundation/QelException.h"
#include "graphics/ImageOps.h"

namespace qv {
namespace {

using test::Bgra;
using test::MakeImage;
using test::PixelAt;
using test::SameImage;

class PictureScriptTest : public ::testing::Test {
 protected:
  PictureScriptTest() : archive_(TFileFolder::CreateNew("scripts.zxc")) {
    // 4 x 2, opaque left half, half-transparent right half.
    Add("Half.png", MakeImage(
                        4, 2,
                        [](int x, int y) { return Bgra{uint8_t(10 + x), uint8_t(20 + y), 30, uint8_t(x < 2 ? 255 : 128)}; },
                        true));
    Add("Solid.png", MakeImage(3, 3, [](int x, int y) { return Bgra{uint8_t(x * 80), uint8_t(y * 80), 200, 255}; }, false));
    Add("Wide.png", MakeImage(100, 50, [](int x, int y) { return Bgra{uint8_t(x), uint8_t(y), 0, 255}; }, false));
    // 1 x 3, every row different.
    Add("Steps.png",
        MakeImage(1, 3, [](int, int y) { return Bgra{uint8_t(y * y * 10), uint8_t(200 - 50 * y), 0, 255}; }, false));
  }

  void Add(const std::string& name, const TPngImage& img) { archive_->AddFile(name, kPictureKind, test::PngStream(img)); }

  TPngImage Render(const std::string& script) {
    TPictureScript s(*archive_);
    s.Run(script);
    int index = archive_->IndexOf(s.ResultName());
    EXPECT_GE(index, 0);
    EXPECT_EQ(archive_->Dir[size_t(index)].Kind, kPictureKind);
    return test::DecodeEntry(*archive_, s.ResultName());
  }

  std::string ErrorOf(const std::string& script) {
    try {
      TPictureScript(*archive_).Run(script);
    } catch (const std::exception& e) {
      return e.what();
    }
    return "no error";
  }

  std::unique_ptr<TFileFolder> archive_;
};

TEST_F(PictureScriptTest, FirstPictureReplacesLaterOnesBlendAndAlphaMerges) {
  TPngImage out = Render(
      "<AutoImage name=\"Result\" width=\"5\" height=\"2\">\n"
      "<AddImage name=\"Half.png\" left=\"1\" top=\"0\"/>\r\n"
      "<AddImage name=\"Solid.png\" left=\"4\" top=\"0\" alfa=\"128\"/>\r");
  ASSERT_EQ(out.Width, 5);
  ASSERT_EQ(out.Height, 2);
  ASSERT_TRUE(out.HasAlpha());
  EXPECT_EQ(archive_->IndexOf("Result.pNg"), archive_->Count() - 1);
  // Column 0 was never drawn: black and transparent.
  EXPECT_EQ(PixelAt(out, 0, 0).B, 0);
  EXPECT_EQ(PixelAt(out, 0, 0).A, 0);
  // The first picture's colour is copied even where it is half transparent.
  EXPECT_EQ(PixelAt(out, 1, 1).B, 10);
  EXPECT_EQ(PixelAt(out, 3, 1).B, 12);
  EXPECT_EQ(PixelAt(out, 3, 1).G, 21);
  EXPECT_EQ(PixelAt(out, 1, 0).A, 255);
  EXPECT_EQ(PixelAt(out, 3, 0).A, 129);  // 255 - ((255 x 127) >> 8)
  // The second picture blends with h = (128 x 255) >> 8 = 127 over (13, 20, 30).
  EXPECT_EQ(PixelAt(out, 4, 0).B, (128 * 13 + 127 * 0) >> 8);
  EXPECT_EQ(PixelAt(out, 4, 0).R, (128 * 30 + 127 * 200) >> 8);
  // Its alpha is not merged: it has no alpha channel of its own.
  EXPECT_EQ(PixelAt(out, 4, 0).A, 129);
}

TEST_F(PictureScriptTest, AutosizeInCapitalsTakesTheSourceRectangle) {
  TPngImage out = Render(
      "<AutoImage name=\"Cut\" autosize=\"TRUE\">\n"
      "<AddImage name=\"Wide.png\" left=\"7\" top=\"9\" srcrect=\"10 20 14 22\"/>\n");
  ASSERT_EQ(out.Width, 5);
  ASSERT_EQ(out.Height, 3);
  EXPECT_FALSE(out.HasAlpha());
  EXPECT_EQ(PixelAt(out, 0, 0).B, 10);
  EXPECT_EQ(PixelAt(out, 4, 2).B, 14);
  EXPECT_EQ(PixelAt(out, 4, 2).G, 22);
}

TEST_F(PictureScriptTest, SourceRectangleOutsideThePictureIsClipped) {
  TPngImage out = Render(
      "<AutoImage name=\"Clip\" autosize=\"true\">\n"
      "<AddImage name=\"Solid.png\" left=\"0\" top=\"0\" srcrect=\"-2 1 5 1\"/>\n");
  ASSERT_EQ(out.Width, 8);
  ASSERT_EQ(out.Height, 1);
  for (int x = 0; x < 8; ++x) {
    bool inside = x >= 2 && x <= 4;
    EXPECT_EQ(PixelAt(out, x, 0).R, inside ? 200 : 0) << x;
    if (inside) {
      EXPECT_EQ(PixelAt(out, x, 0).B, (x - 2) * 80);
    }
  }
}

TEST_F(PictureScriptTest, TintPaintsTheShapeInTheColour) {
  TPngImage out = Render(
      "<AutoImage name=\"Tint\" width=\"4\" height=\"2\">\n"
      "<AddImage name=\"Half.png\" left=\"0\" top=\"0\" colorvalue=\"1\" color=\"250 5 100\"/>\n");
  for (int x = 0; x < 4; ++x) {
    Bgra p = PixelAt(out, x, 0);
    EXPECT_LE(std::abs(p.R - 250), 1);
    EXPECT_LE(std::abs(p.G - 5), 1);
    EXPECT_LE(std::abs(p.B - 100), 1);
  }
}

TEST_F(PictureScriptTest, FlipsOnOneLineTurnByHalfACircle) {
  TPngImage out = Render(
      "<AutoImage name=\"Turn\" width=\"3\" height=\"3\">\n"
      "<AddImage name=\"Solid.png\" left=\"0\" top=\"0\"/>\n"
      "<FlipImageHorizontal/><FlipImageVertical/>\n");
  TPngImage solid = test::DecodeEntry(*archive_, "Solid.png");
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(PixelAt(out, x, y).B, PixelAt(solid, 2 - x, 2 - y).B);
      EXPECT_EQ(PixelAt(out, x, y).G, PixelAt(solid, 2 - x, 2 - y).G);
    }
  // "Horizontal" exchanges rows.
  TPngImage rows = Render(
      "<AutoImage name=\"Rows\" width=\"3\" height=\"3\">\n"
      "<AddImage name=\"Solid.png\" left=\"0\" top=\"0\"/>\n"
      "<FlipImageHorizontal/>\n");
  EXPECT_EQ(PixelAt(rows, 0, 0).G, PixelAt(solid, 0, 2).G);
  EXPECT_EQ(PixelAt(rows, 0, 0).B, PixelAt(solid, 0, 0).B);
}

TEST_F(PictureScriptTest, IdentityOperationsKeepThePicture) {
  TPngImage out = Render(
      "<AutoImage name=\"Same\" autosize=\"true\">\n"
      "<AddImage name=\"Wide.png\" left=\"0\" top=\"0\"/>\n"
      "<RotateImage angle=\"0\"/>\n"
      "<ScaleImage />\n");
  TPngImage wide = test::DecodeEntry(*archive_, "Wide.png");
  EXPECT_TRUE(SameImage(out, wide));
}

TEST_F(PictureScriptTest, CropAfterAnInclusiveSourceRectangleLosesOneRowAndColumn) {
  TPngImage out = Render(
      "<AutoImage name=\"Crop\" autosize=\"true\">\n"
      "<AddImage name=\"Wide.png\" left=\"0\" top=\"0\" srcrect=\"0 0 99 49\"/>\n"
      "<CropImage left=\"0\" top=\"0\"/>\n");
  EXPECT_EQ(out.Width, 99);
  EXPECT_EQ(out.Height, 49);
  EXPECT_TRUE(out.HasAlpha());
  // The script's size stays at 100 x 50: a bare ScaleImage goes back to it.
  TPngImage back = Render(
      "<AutoImage name=\"Back\" autosize=\"true\">\n"
      "<AddImage name=\"Wide.png\" left=\"0\" top=\"0\"/>\n"
      "<CropImage left=\"10\" top=\"5\" width=\"20\" height=\"10\"/>\n"
      "<ScaleImage />\n");
  EXPECT_EQ(back.Width, 100);
  EXPECT_EQ(back.Height, 50);
  // A crop reaching past the canvas is clipped to it.
  TPngImage clipped = Render(
      "<AutoImage name=\"Past\" autosize=\"true\">\n"
      "<AddImage name=\"Wide.png\" left=\"0\" top=\"0\"/>\n"
      "<CropImage left=\"90\" top=\"-5\" width=\"50\" height=\"10\"/>\n");
  EXPECT_EQ(clipped.Width, 10);
  EXPECT_EQ(clipped.Height, 5);
  EXPECT_EQ(PixelAt(clipped, 0, 0).B, 90);
}

TEST_F(PictureScriptTest, ScaleAndRotateChangeTheCanvas) {
  TPngImage out = Render(
      "<AutoImage name=\"Small\" autosize=\"true\">\n"
      "<AddImage name=\"Wide.png\" left=\"0\" top=\"0\"/>\n"
      "<ScaleImage width=\"50\"/>\n");
  EXPECT_EQ(out.Width, 50);
  EXPECT_EQ(out.Height, 50);
  TPngImage turned = Render(
      "<AutoImage name=\"Turned\" width=\"4\" height=\"4\">\n"
      "<AddImage name=\"Solid.png\" left=\"0\" top=\"0\"/>\n"
      "<RotateImage angle=\"90\"/>\n");
  EXPECT_EQ(turned.Width, 4);
  EXPECT_EQ(PixelAt(turned, 0, 0).R, 0);  // comes from outside the picture
}

// Three rows down to two: rows 1 and 2 both round onto the last output row,
// which takes only the first of them (with its neighbour it would be 25 / 125).
TEST_F(PictureScriptTest, ScalingDownTheLastRowTakesOnlyItsFirstSourceRow) {
  TPngImage out = Render(
      "<AutoImage name=\"Short\" autosize=\"true\">\n"
      "<AddImage name=\"Steps.png\" left=\"0\" top=\"0\"/>\n"
      "<ScaleImage width=\"1\" height=\"2\"/>\n");
  ASSERT_EQ(out.Width, 1);
  ASSERT_EQ(out.Height, 2);
  EXPECT_EQ(PixelAt(out, 0, 0).B, 0);
  EXPECT_EQ(PixelAt(out, 0, 0).G, 200);
  EXPECT_EQ(PixelAt(out, 0, 1).B, 10);
  EXPECT_EQ(PixelAt(out, 0, 1).G, 150);
}

TEST_F(PictureScriptTest, TagsWithoutTheirClosingMarkAreIgnored) {
  TPngImage out = Render(
      "<AutoImage name=\"Open\" width=\"2\" height=\"2\">\n"
      "<AddImage name=\"Solid.png\" left=\"0\" top=\"0\">\n"
      "<CropImage left=\"0\" top=\"0\" width=\"1\" height=\"1\">\n");
  EXPECT_EQ(out.Width, 2);
  EXPECT_EQ(PixelAt(out, 0, 0).R, 0);
}

TEST_F(PictureScriptTest, AScriptThatDrawsNothingStillAddsItsPicture) {
  TPictureScript s(*archive_);
  s.Run("<AutoImage name=\"Empty\" autosize=\"true\">\n");
  int index = archive_->IndexOf("Empty.pNg");
  ASSERT_GE(index, 0);
  EXPECT_EQ(archive_->MemFiles[size_t(index)].Stream->Size(), 0);
}

TEST_F(PictureScriptTest, GreyPaletteAndDeepSourcesAreUsedAsColour) {
  test::PngRecipe greyAlpha;
  greyAlpha.Width = 2;
  greyAlpha.ColorType = 4;
  greyAlpha.Samples = {100, 255, 200, 0};
  archive_->AddFile("GreyAlpha.png", kPictureKind, TMemoryStream(test::MakePng(greyAlpha)));
  test::PngRecipe palette;
  palette.Width = 2;
  palette.ColorType = 3;
  palette.BitDepth = 4;
  palette.Palette = {255, 0, 0, 0, 0, 255};
  palette.Samples = {1, 0};
  archive_->AddFile("Palette.png", kPictureKind, TMemoryStream(test::MakePng(palette)));
  test::PngRecipe deep;
  deep.Width = 1;
  deep.ColorType = 2;
  deep.BitDepth = 16;
  deep.Samples = {0x1234, 0xABCD, 0xFF00};
  archive_->AddFile("Deep.png", kPictureKind, TMemoryStream(test::MakePng(deep)));
  TPngImage out = Render(
      "<AutoImage name=\"Mixed\" width=\"5\" height=\"1\">\n"
      "<AddImage name=\"GreyAlpha.png\" left=\"0\" top=\"0\"/>\n"
      "<AddImage name=\"Palette.png\" left=\"2\" top=\"0\"/>\n"
      "<AddImage name=\"Deep.png\" left=\"4\" top=\"0\"/>\n");
  ASSERT_TRUE(out.HasAlpha());
  EXPECT_EQ(PixelAt(out, 0, 0).B, 100);
  EXPECT_EQ(PixelAt(out, 0, 0).R, 100);
  EXPECT_EQ(PixelAt(out, 0, 0).A, 255);
  EXPECT_EQ(PixelAt(out, 1, 0).A, 0);  // the grey picture's transparent pixel
  EXPECT_EQ(PixelAt(out, 2, 0).B, 255);  // palette entry 1 is blue
  EXPECT_EQ(PixelAt(out, 2, 0).R, 0);
  EXPECT_EQ(PixelAt(out, 3, 0).R, 255);
  EXPECT_EQ(PixelAt(out, 4, 0).R, 0x12);
  EXPECT_EQ(PixelAt(out, 4, 0).G, 0xAB);
  EXPECT_EQ(PixelAt(out, 4, 0).B, 0xFF);
}

TEST_F(PictureScriptTest, TransparentColourBecomesAlpha) {
  test::PngRecipe palette;
  palette.Width = 3;
  palette.ColorType = 3;
  palette.Palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  palette.TrnsAlpha = {0, 128};
  palette.Samples = {0, 1, 2};
  archive_->AddFile("Keyed.png", kPictureKind, TMemoryStream(test::MakePng(palette)));
  test::PngRecipe keyed;
  keyed.Width = 2;
  keyed.ColorType = 2;
  keyed.Samples = {10, 20, 30, 40, 50, 60};
  keyed.TrnsGrey = 40;  // red of the key colour 40 50 60
  keyed.TrnsGreen = 50;
  keyed.TrnsBlue = 60;
  archive_->AddFile("Key.png", kPictureKind, TMemoryStream(test::MakePng(keyed)));
  TPngImage out = Render(
      "<AutoImage name=\"Composed\" width=\"5\" height=\"1\">\n"
      "<AddImage name=\"Keyed.png\" left=\"0\" top=\"0\"/>\n"
      "<AddImage name=\"Key.png\" left=\"3\" top=\"0\"/>\n");
  ASSERT_TRUE(out.HasAlpha());
  EXPECT_EQ(PixelAt(out, 0, 0).R, 0);  // transparent: not drawn
  EXPECT_EQ(PixelAt(out, 0, 0).A, 0);
  EXPECT_EQ(PixelAt(out, 1, 0).G, 255);
  EXPECT_EQ(PixelAt(out, 1, 0).A, 129);  // 255 - ((255 x 127) >> 8)
  EXPECT_EQ(PixelAt(out, 2, 0).A, 255);
  EXPECT_EQ(PixelAt(out, 3, 0).R, 10);
  EXPECT_EQ(PixelAt(out, 3, 0).A, 255);
  EXPECT_EQ(PixelAt(out, 4, 0).R, 0);  // the key colour is skipped
  EXPECT_EQ(PixelAt(out, 4, 0).A, 0);
}

TEST_F(PictureScriptTest, FaultsGiveClearErrors) {
  EXPECT_EQ(ErrorOf("<AutoImage name=\"A\" width=\"2\" height=\"2\">\n<AddImage name=\"Nope.png\" left=\"0\" top=\"0\"/>"),
            "File Nope.png does not exist in File Folder!");
  EXPECT_EQ(ErrorOf("<AddImage name=\"Solid.png\" left=\"0\" top=\"0\"/>"),
            "AddImage before any image in picture script!");
  EXPECT_EQ(ErrorOf("<CropImage left=\"0\" top=\"0\" width=\"1\" height=\"1\"/>\n<AutoImage name=\"A\" width=\"2\" height=\"2\">"),
            "CropImage before any image in picture script!");
  EXPECT_EQ(ErrorOf("<AutoImage name=\"A\" autosize=\"true\">\n<ScaleImage width=\"3\" height=\"3\"/>"),
            "ScaleImage before any image in picture script!");
  EXPECT_EQ(ErrorOf("<AutoImage name=\"A\" width=\"4\" height=\"4\">\n<CropImage left=\"4\" top=\"0\" width=\"3\" height=\"3\"/>"),
            "CropImage rectangle is empty after clipping!");
  EXPECT_EQ(ErrorOf("<AutoImage name=\"A\" width=\"4\" height=\"4\">\n<CropImage left=\"2\" top=\"0\" width=\"-3\" height=\"3\"/>"),
            "CropImage rectangle is empty after clipping!");
  EXPECT_EQ(ErrorOf("<FlipImageVertical/>"), "FlipImageVertical before any image in picture script!");
  EXPECT_EQ(ErrorOf("nothing here\n"), "Picture script has no AutoImage!");
  EXPECT_EQ(ErrorOf("<AutoImage name=\"A\" width=\"0\" height=\"4\">"), "Invalid picture size 0 x 4!");
  EXPECT_EQ(ErrorOf("<AutoImage name=\"A\" autosize=\"true\">\n<AddImage name=\"Solid.png\" left=\"0\" top=\"0\" srcrect=\"5 5 1 1\"/>"),
            "Invalid picture size -3 x -3!");
  // Numbers that are not numbers stop with the conversion error.
  EXPECT_THROW(TPictureScript(*archive_).Run("<AutoImage name=\"A\" width=\"x\" height=\"4\">"), EConvertError);
  EXPECT_EQ(ErrorOf("<AutoImage name=\"A\" width=\"4\" height=\"4\">\n<AddImage name=\"Solid.png\" top=\"0\"/>"),
            "'' is not a valid integer value");
  EXPECT_EQ(ErrorOf("<AutoImage name=\"A\" width=\"4\" height=\"4\">\n<AddImage name=\"Solid.png\" left=\"0\" top=\"0\" srcrect=\"1 2\"/>"),
            "'%&' is not a valid integer value");
  // A picture that is not a PNG names itself.
  archive_->AddFile("Text.png", kPictureKind, test::TextStream("hello"));
  EXPECT_THROW(TPictureScript(*archive_).Run("<AutoImage name=\"A\" width=\"4\" height=\"4\">\n<AddImage name=\"Text.png\" left=\"0\" top=\"0\"/>"),
               EPictureError);
  // The result's name taken already: the archive's own error.
  EXPECT_EQ(ErrorOf("<AutoImage name=\"Twice\" width=\"1\" height=\"1\">\n"), "no error");
  EXPECT_EQ(ErrorOf("<AutoImage name=\"Twice\" width=\"1\" height=\"1\">\n"), "Cannot add file (dublicate)");
}

}  // namespace
}  // namespace qv
