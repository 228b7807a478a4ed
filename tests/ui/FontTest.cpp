// Bitmap fonts: the glyph list, layout into the engine's glyph records and
// measuring.
#include <gtest/gtest.h>

#include <string>

#include "FakeGraphic.h"
#include "foundation/QelException.h"
#include "ui/QelFontEngine.h"

namespace qv {
namespace {

using test::TFakeGraphic;

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFontClasses();
    graphic.Fonts = &fonts;
    fonts.Graphic = &graphic;
    fonts.LoadFromText(
        "<Font>\n<Name>QelUnicode</Name>\n<Height>16</Height>\n<Picture>QelUnicode.png</Picture>\n"
        "<Metrics>65:0:0:0:10:2,66:10:0:1:9:2,32:30:0:0:4:1</Metrics>\n</Font>\n");
    font = fonts.FindFont("QelUnicode");
    ASSERT_NE(font, nullptr);
  }

  TQelFontEngine fonts;
  TFakeGraphic graphic;
  TQelFont* font = nullptr;
};

TEST_F(FontTest, LaysTextOutWithInclusiveSourceEdgesInOneDraw) {
  EXPECT_EQ(font->TextWidth(u"AB"), 24);
  font->TextOut(100, 50, 0x00112233, 200, u"AB");
  auto draws = graphic.Of("ExtDraw");
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].Picture, "QelUnicode.png");
  ASSERT_EQ(draws[0].Count, 2);
  const TCharRect& a = draws[0].Glyphs[0];
  const TCharRect& b = draws[0].Glyphs[1];
  EXPECT_EQ((TRect{a.Left, a.Top, a.Right, a.Bottom}), (TRect{0, 0, 9, 15}));
  EXPECT_EQ((TRect{b.Left, b.Top, b.Right, b.Bottom}), (TRect{10, 0, 18, 15}));
  // The pen moves by Offset, then Width + Spacing: B's offset of 1 places
  // it at 100 + 12 + 1.
  EXPECT_EQ(a.X, 100);
  EXPECT_EQ(b.X, 113);
  EXPECT_EQ(a.Y, 50);
  EXPECT_EQ(b.Color, 0x00112233u);
  EXPECT_EQ(b.Alpha, 200);
}

TEST_F(FontTest, BlanksAndUnnamedCharacters) {
  // Blanks only: nothing drawn, but measured.
  font->TextOut(0, 0, 0, 255, u"   ");
  EXPECT_TRUE(graphic.Calls.empty());
  EXPECT_EQ(font->TextWidth(u"   "), 15);
  EXPECT_EQ(font->TextWidth(u""), 0);

  // A leading blank moves the pen and counts in the draw.
  font->TextOut(100, 0, 0, 255, u" A");
  auto draws = graphic.Of("ExtDraw");
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].Count, 2);
  EXPECT_EQ(draws[0].Glyphs[1].X, 105);

  // "Z" is not in the list: drawn and measured as the first glyph.
  EXPECT_EQ(font->TextWidth(u"Z"), 12);
  graphic.Calls.clear();
  font->TextOut(0, 0, 0, 255, u"Z");
  EXPECT_EQ(graphic.Of("ExtDraw")[0].Glyphs[0].Right, 9);
}

TEST_F(FontTest, GlyphListFieldsAndRepeatedLists) {
  font->SetMetrics("70:5:0:0:6,71:1:2:3:4:5:99");
  ASSERT_EQ(font->CharDescs().size(), 2u);
  EXPECT_EQ(font->CharDescs()[0], (TCharDesc{70, 5, 0, 0, 6, 0}));
  EXPECT_EQ(font->CharDescs()[1], (TCharDesc{71, 1, 2, 3, 4, 5}));
  // The map is not cleared: "B" still names index 1 of the new list.
  EXPECT_EQ(font->DescFor(u'B'), &font->CharDescs()[1]);
  // "Space" named index 2 in the first list, which the new list lacks:
  // drawn as an unnamed character, nothing read past the list.
  EXPECT_EQ(font->DescFor(u' '), &font->CharDescs()[0]);
  EXPECT_EQ(font->TextWidth(u" "), 6);

  // An empty field is no number; codes outside UTF-16 stay out of the map.
  EXPECT_THROW(font->SetMetrics("65:0:0:0:10:2,"), EConvertError);
  EXPECT_THROW(font->SetMetrics("65::1"), EConvertError);
  font->SetMetrics("-5:1:1:1:1:1,70000:2:2:2:2:2,72:3:3:3:3:3");
  EXPECT_EQ(font->DescFor(u'H')->X, 3);
}

TEST_F(FontTest, LongTextDrawsOnlyWhatTheRecordsHold) {
  std::u16string text(TQelFontEngine::kCharsRectsCount + 500, u'A');
  font->TextOut(0, 0, 0, 255, text);
  auto draws = graphic.Of("ExtDraw");
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].Count, TQelFontEngine::kCharsRectsCount);
  EXPECT_EQ(fonts.CharsRects.size(), static_cast<size_t>(TQelFontEngine::kCharsRectsCount));
  EXPECT_EQ(fonts.CharsRects.back().X, (TQelFontEngine::kCharsRectsCount - 1) * 12);
}

TEST(FontEngine, DescriptionErrorsReachTheCaller) {
  RegisterFontClasses();
  TQelFontEngine fonts;
  EXPECT_THROW(fonts.LoadFromText("no tags here"), Exception);
  EXPECT_THROW(fonts.LoadFromText("<Font><Colour>1</Colour></Font>"), Exception);
  // The font was in the engine before its properties failed.
  EXPECT_EQ(fonts.Count(), 1);
  // A font without glyphs measures nothing and draws nothing.
  TFakeGraphic graphic;
  fonts.Graphic = &graphic;
  fonts.LoadFromText("<Font><Name>Empty</Name></Font>");
  fonts.FindFont("Empty")->TextOut(0, 0, 0, 255, u"abc");
  EXPECT_EQ(fonts.FindFont("Empty")->TextWidth(u"abc"), 0);
  EXPECT_TRUE(graphic.Calls.empty());
  EXPECT_EQ(TQelFont::CountChar("1,2,,3", ','), 3);
}

}  // namespace
}  // namespace qv
