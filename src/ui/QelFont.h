// A bitmap font: where each character's glyph lies in the font picture (one
// picture holding every glyph side by side) and how far the pen moves. A font
// lays a wide text out into its engine's preallocated glyph records and asks
// the host to draw them in one ExtDraw call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/QelBaseClasses.h"

namespace qv {

class TQelFontEngine;

// One glyph: the UTF-16 code unit it draws, its top-left corner in the font
// picture, the offset added to the pen before it, its width and the spacing
// added after it.
struct TCharDesc {
  int32_t Code = 0;
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Offset = 0;
  int32_t Width = 0;
  int32_t Spacing = 0;
  friend bool operator==(const TCharDesc&, const TCharDesc&) = default;
};
using TCharDescs = std::vector<TCharDesc>;

// Published: Height, Picture, Metrics (write-only: the glyph list).
class TQelFont : public TQelObject {
 public:
  TQelFont();

  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  // The glyph list "Code:X:Y:Offset:Width:Spacing,..." (see QelFont.cpp).
  void SetMetrics(const std::string& value);

  // Lays text out at the pen position (x, y = top of the line) into the
  // engine's glyph records and draws them with one ExtDraw of Picture. A
  // text of blanks only draws nothing; at most the engine's record count of
  // characters is laid out and drawn.
  void TextOut(int32_t x, int32_t y, uint32_t color, uint8_t alpha, std::u16string_view text) const;
  // Offset + Width + Spacing of every character, blanks included.
  int32_t TextWidth(std::u16string_view text) const;
  // Occurrences of ch in text.
  static int32_t CountChar(std::string_view text, char ch);

  TQelFontEngine* GetFontEngine() const;
  const TCharDescs& CharDescs() const { return FCharDescs; }
  // The glyph that draws and measures the code unit: the one the character
  // map names, else the first. None for a font without glyphs.
  const TCharDesc* DescFor(char16_t code) const;

  int32_t Height = 0;
  std::string Picture;

 private:
  TCharDescs FCharDescs;
  // Index into FCharDescs per UTF-16 code unit; kept across glyph lists.
  std::vector<uint16_t> FCharMap;
};

// Registers TQelFont with the class registry; later calls do nothing.
void RegisterFontClasses();

}  // namespace qv
