// The drawing and sound host of the interface toolkit and the font engine.
// The toolkit never touches surfaces or sounds itself: every picture, glyph
// run and sound goes through IQelGraphic, which the game shell implements on
// top of the surface engine and the sound list (tests use a recording fake).
// Pictures and sounds are named by their archive entry names; coordinates are
// screen pixels of the current draw target. Holders of the host do not own it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/SFunctions.h"

namespace qv {

// How a widget's picture meets what lies under it; the widgets hand it to
// Draw unchanged. Written in the interface description by these names.
enum class TBlendingMode : int32_t { bmNormal, bmAddBlend, bmMulBlend, bmAvrBlend, bmAddBump, bmMulBump, bmAvrBump };

// The names above, in ordinal order, for the property layer.
const std::vector<std::string>& BlendingModeNames();

class IQelGraphic {
 public:
  virtual ~IQelGraphic() = default;

  // The picture (with its own alpha) with its top-left corner at (x, y) and
  // the overall opacity alpha; srcRect none = the whole picture, else that
  // part of it (all four edges inclusive). bumpMap and mode are handed through.
  virtual void Draw(std::string_view picture, std::string_view bumpMap, TBlendingMode mode, int32_t x, int32_t y,
                    uint8_t alpha, const TRect* srcRect) = 0;
  // Called for every visible window and its visible children before the
  // windows are drawn, whenever the interface changed.
  virtual void DrawBumpMap(std::string_view picture, std::string_view bumpMap, int32_t x, int32_t y) = 0;
  // The target's rectangle (right and bottom exclusive) blended toward color
  // with opacity alpha (the hint background).
  virtual void DrawRect(std::string_view picture, const TRect& rect, uint32_t color, uint8_t alpha, bool flag) = 0;
  // The first count glyph records of the font engine's CharsRects drawn from
  // the named font picture.
  virtual void ExtDraw(std::string_view picture, int32_t count) = 0;
  // The picture's shape filled with color at alpha (the grid's cursor row).
  virtual void DrawColoredAlpha(std::string_view picture, std::string_view bumpMap, int32_t x, int32_t y,
                                uint32_t color, uint8_t alpha) = 0;
  // 0 and 0 for a picture the host does not know.
  virtual void GetPictureSize(int32_t& width, int32_t& height, std::string_view picture) = 0;
  // The logical screen size.
  virtual void GetScreenSize(int32_t& width, int32_t& height) = 0;
  virtual void PlaySound(std::string_view sound) = 0;
  // Called after each window of the modal stack is drawn, with its name.
  virtual void PostFormDraw(std::string_view formName) = 0;
  // Part of a picture (srcRect inclusive) filled with color; the toolkit
  // itself does not call it.
  virtual void LowExtDraw(std::string_view picture, const TRect& srcRect, std::string_view bumpMap, int32_t x,
                          int32_t y, uint32_t color, uint8_t alpha) = 0;
};

}  // namespace qv
