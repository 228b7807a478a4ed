// The game's bitmap font: every glyph that a caption, a language file or a
// typed name may hold, drawn once with FreeType into one picture, and the
// font description that tells the font engine where each glyph lies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Canvas.h"

namespace contentgen {

struct GlyphCell {
  uint32_t Code = 0;  // UTF-16 code unit the glyph draws
  int X = 0, Y = 0;   // top-left corner in the picture
  int Offset = 0;     // added to the pen before the glyph
  int Width = 0;      // columns of the picture
  int Spacing = 0;    // added to the pen after the glyph
};

struct BitmapFont {
  std::string Name;
  std::string Picture;
  int Height = 0;
  std::vector<GlyphCell> Glyphs;  // entry 0 is what every unknown character draws
  Canvas Sheet;                   // white glyphs, coverage in alpha

  // The description file: the font's name, height, picture and glyph list.
  std::string Description() const;
};

// The characters the font covers, in glyph order (entry 0 first).
std::vector<uint32_t> FontCharacters();

// Draws the font from a TrueType file at a pixel size.
BitmapFont DrawBitmapFont(const std::string& fontPath, int pixelSize);

// Writes "QelUnicode.xml" and "QelUnicode.png" into the output folder.
void WriteFont(const std::string& outputFolder);

}  // namespace contentgen
