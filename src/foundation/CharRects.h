// One glyph to draw, as the font engine lays text out and the surface engine
// draws it: its rectangle in the font picture (all four edges inclusive), the
// target corner, the colour (0x00BBGGRR) and the alpha. Shared by the fonts of
// the interface toolkit and the surface engine's glyph blit.
#pragma once

#include <cstdint>
#include <vector>

namespace qv {

struct TCharRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  int32_t X = 0;
  int32_t Y = 0;
  uint32_t Color = 0;
  uint8_t Alpha = 255;
};
using TCharsRects = std::vector<TCharRect>;

}  // namespace qv
