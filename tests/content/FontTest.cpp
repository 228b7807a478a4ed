// The shipped font draws every character a caption, a language file or a
// typed Latin-1 name may hold, from a picture whose alpha carries the glyphs
// (the text colour comes from the widget).
#include <gtest/gtest.h>

#include "content/ContentSupport.h"
#include "content/FontGlyphs.h"
#include "foundation/MemoryStream.h"
#include "foundation/StrUtils.h"
#include "graphics/PictureCodec.h"

namespace qv::test {
namespace {

TPngImage FontPicture(const ShippedFont& font) {
  TMemoryStream* s = WorkingArchive().GetStream(font.Picture);
  if (!s) throw Exception("Can not find " + font.Picture + "in file folder");
  return DecodePNG(s->Bytes().data(), s->Bytes().size());
}

// Ink (alpha above zero) inside the rows of a glyph that the text drawer
// shows: all but the last row of the cell.
int InkOf(const TPngImage& pic, const FontGlyph& g, int height) {
  int ink = 0;
  for (int y = g.Y; y < g.Y + height - 1; ++y)
    for (int x = g.X; x < g.X + g.Width; ++x) ink += pic.AlphaRow(y)[x] > 0;
  return ink;
}

TEST(ContentFont, DescribesTheFontTheWidgetsAskFor) {
  const ShippedFont& font = QelUnicodeFont();
  EXPECT_EQ(font.Name, "QelUnicode");
  EXPECT_EQ(font.Picture, "QelUnicode.png");
  // Captions are laid out for lines of about 16 to 20 pixels.
  EXPECT_GE(font.Height, 15);
  EXPECT_LE(font.Height, 20);
}

TEST(ContentFont, EveryLatin1AndTypographicCharacterHasItsOwnGlyph) {
  const ShippedFont& font = QelUnicodeFont();
  std::u16string missing;
  for (char16_t c = 0x20; c <= 0x7E; ++c)
    if (!font.Draws(c)) missing += c;
  for (char16_t c = 0xA0; c <= 0xFF; ++c)
    if (!font.Draws(c)) missing += c;
  for (char16_t c : Utf8ToUtf16("–—‘’“”„…€•Œœ"))
    if (!font.Draws(c)) missing += c;
  EXPECT_TRUE(missing.empty()) << "no glyph for: " << Utf16ToUtf8(missing);
}

TEST(ContentFont, GlyphsLieInsideThePictureAndShowInk) {
  const ShippedFont& font = QelUnicodeFont();
  const TPngImage pic = FontPicture(font);
  // The glyphs are drawn tinted through their alpha: a font surface without
  // alpha shows no text at all.
  ASSERT_FALSE(pic.Alpha.empty());
  SurfaceStore store;
  store.LoadPng(font.Picture);
  const SurfaceStore::Info surface = store.Find(font.Picture);
  ASSERT_TRUE(surface.Found);
  EXPECT_TRUE(surface.Alpha);
  EXPECT_EQ(surface.Width, pic.Width);
  for (const auto& [code, g] : font.Glyphs) {
    SCOPED_TRACE("U+" + std::to_string(int(code)));
    ASSERT_GE(g.X, 0);
    ASSERT_GE(g.Y, 0);
    ASSERT_GT(g.Width, 0);
    ASSERT_LE(g.X + g.Width, pic.Width);
    ASSERT_LE(g.Y + font.Height, pic.Height);
    // The pen always moves forward, so text never runs backwards over itself.
    EXPECT_GT(g.Offset + g.Width + g.Spacing, 0);
    const bool blank = code == u' ' || code == 0xA0;
    if (blank)
      EXPECT_EQ(InkOf(pic, g, font.Height), 0);
    else
      EXPECT_GT(InkOf(pic, g, font.Height), 0) << "an invisible glyph";
    // The last row of a cell is never drawn: ink there would be cut off.
    for (int x = g.X; x < g.X + g.Width; ++x) EXPECT_EQ(pic.AlphaRow(g.Y + font.Height - 1)[x], 0);
  }
}

TEST(ContentFont, UnknownCharactersFallBackToAVisibleMark) {
  const ShippedFont& font = QelUnicodeFont();
  const TPngImage pic = FontPicture(font);
  const FontGlyph* fallback = nullptr;
  for (const auto& [code, g] : font.Glyphs)
    if (g.Index == 0) fallback = &g;
  ASSERT_NE(fallback, nullptr);
  EXPECT_GT(InkOf(pic, *fallback, font.Height), 0);
  EXPECT_FALSE(font.Draws(u'\u2192'));  // an arrow is not in the font: it draws as the mark
}

}  // namespace
}  // namespace qv::test
