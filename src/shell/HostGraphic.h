// The drawing and sound host of the interface toolkit and the font engine:
// every picture goes through the surface engine into the current draw
// target (normally "MemoryBufer"), every sound through the sound list.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "graphics/SurfEngine.h"
#include "shell/ShellState.h"
#include "ui/QelFontEngine.h"
#include "ui/QelInterface.h"

namespace qv {

class THostGraphic : public IQelGraphic {
 public:
  THostGraphic(TSurfEngine& engine, TShellFrame& frame) : E(engine), F(frame) {}

  // The glyph records ExtDraw draws from; set with the font engine.
  const TQelFontEngine* Fonts = nullptr;
  // Plays a sample or starts a music module by name.
  std::function<void(std::string_view)> Sound;

  void Draw(std::string_view picture, std::string_view bumpMap, TBlendingMode mode, int32_t x, int32_t y,
            uint8_t alpha, const TRect* srcRect) override;
  void DrawBumpMap(std::string_view picture, std::string_view bumpMap, int32_t x, int32_t y) override;
  void DrawRect(std::string_view picture, const TRect& rect, uint32_t color, uint8_t alpha, bool flag) override;
  void ExtDraw(std::string_view picture, int32_t count) override;
  void DrawColoredAlpha(std::string_view picture, std::string_view bumpMap, int32_t x, int32_t y, uint32_t color,
                        uint8_t alpha) override;
  void GetPictureSize(int32_t& width, int32_t& height, std::string_view picture) override;
  void GetScreenSize(int32_t& width, int32_t& height) override;
  void PlaySound(std::string_view sound) override;
  void PostFormDraw(std::string_view formName) override;
  void LowExtDraw(std::string_view picture, const TRect& srcRect, std::string_view bumpMap, int32_t x, int32_t y,
                  uint32_t color, uint8_t alpha) override;
  // The picture's shape in colour, fully opaque.
  void DrawColored(std::string_view picture, std::string_view bumpMap, int32_t x, int32_t y, uint32_t color);

 private:
  TSurfEngine& E;
  TShellFrame& F;
};

}  // namespace qv
