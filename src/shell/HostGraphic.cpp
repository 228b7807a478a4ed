#include "shell/HostGraphic.h"

namespace qv {

void THostGraphic::Draw(std::string_view picture, std::string_view, TBlendingMode, int32_t x, int32_t y,
                        uint8_t alpha, const TRect* srcRect) {
  E.DrawWithAlphaChannel(picture, F.DrawTarget, x, y, alpha, srcRect, 0, 0, nullptr);
}

void THostGraphic::DrawBumpMap(std::string_view picture, std::string_view bumpMap, int32_t x, int32_t y) {
  if (!bumpMap.empty()) {
    E.DrawBump(bumpMap, "Bump", x, y, nullptr);
    return;
  }
  const TSurface* s = E.Find(picture);
  if (!s) return;
  const TRect cells{x, y, x + s->Width - 1, y + s->Height - 1};
  if (s->HasAlpha())
    E.ClearBumpUnderAlpha("Bump", picture, &cells);
  else
    E.FillBump("Bump", 0, 0, &cells);
}

void THostGraphic::DrawRect(std::string_view, const TRect& rect, uint32_t color, uint8_t alpha, bool) {
  E.BlendRect(F.DrawTarget, rect, color, alpha);
}

void THostGraphic::ExtDraw(std::string_view picture, int32_t count) {
  if (!Fonts) return;
  E.DrawFontChars(picture, F.DrawTarget, count, Fonts->CharsRects);
}

void THostGraphic::DrawColoredAlpha(std::string_view picture, std::string_view, int32_t x, int32_t y, uint32_t color,
                                    uint8_t alpha) {
  E.DrawWithAlphaChannel(picture, F.DrawTarget, x, y, alpha, nullptr, color, 1, nullptr);
}

void THostGraphic::GetPictureSize(int32_t& width, int32_t& height, std::string_view picture) {
  width = height = 0;
  if (const TSurface* s = E.Find(picture)) {
    width = s->Width;
    height = s->Height;
  }
}

void THostGraphic::GetScreenSize(int32_t& width, int32_t& height) {
  width = E.Width;
  height = E.Height;
}

void THostGraphic::PlaySound(std::string_view sound) {
  if (Sound) Sound(sound);
}

void THostGraphic::PostFormDraw(std::string_view) {}

void THostGraphic::LowExtDraw(std::string_view picture, const TRect& srcRect, std::string_view, int32_t x, int32_t y,
                              uint32_t color, uint8_t alpha) {
  E.DrawWithAlphaChannel(picture, F.DrawTarget, x, y, alpha, &srcRect, color, 1, nullptr);
}

void THostGraphic::DrawColored(std::string_view picture, std::string_view, int32_t x, int32_t y, uint32_t color) {
  E.DrawWithAlphaChannel(picture, F.DrawTarget, x, y, 255, nullptr, color, 1, nullptr);
}

}  // namespace qv
