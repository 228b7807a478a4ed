// The glyph list of the shipped font, read from the archive the way the font
// engine reads it, for checks of which characters the game can draw.
#pragma once

#include <map>
#include <string>

namespace qv::test {

struct FontGlyph {
  int X = 0, Y = 0, Offset = 0, Width = 0, Spacing = 0;
  int Index = 0;  // position in the glyph list; 0 is what unknown characters draw
};

struct ShippedFont {
  std::string Name, Picture;
  int Height = 0;
  std::map<char16_t, FontGlyph> Glyphs;  // by UTF-16 code unit

  // True when the character has a glyph of its own, not the fallback.
  bool Draws(char16_t ch) const {
    auto it = Glyphs.find(ch);
    return it != Glyphs.end() && it->second.Index != 0;
  }
};

// "QelUnicode.xml" of the working archive.
const ShippedFont& QelUnicodeFont();

}  // namespace qv::test
