// A drawing host for the interface toolkit that paints into an 800 x 600
// picture from the shipped pictures (the working archive, and the picture
// files of the program folder) and the shipped font, so the content tests
// can draw real windows, notice pictures nobody loads and save screenshots.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/PictureCodec.h"
#include "ui/QelFontEngine.h"
#include "ui/QelInterface.h"

namespace qv::test {

class ScreenHost : public IQelGraphic {
 public:
  ScreenHost();

  void Draw(std::string_view picture, std::string_view bumpMap, TBlendingMode mode, int32_t x, int32_t y, uint8_t alpha,
            const TRect* srcRect) override;
  void DrawBumpMap(std::string_view, std::string_view, int32_t, int32_t) override {}
  void DrawRect(std::string_view picture, const TRect& rect, uint32_t color, uint8_t alpha, bool flag) override;
  void ExtDraw(std::string_view picture, int32_t count) override;
  void DrawColoredAlpha(std::string_view picture, std::string_view bumpMap, int32_t x, int32_t y, uint32_t color,
                        uint8_t alpha) override;
  void GetPictureSize(int32_t& width, int32_t& height, std::string_view picture) override;
  void GetScreenSize(int32_t& width, int32_t& height) override {
    width = 800;
    height = 600;
  }
  void PlaySound(std::string_view sound) override { Sounds.emplace_back(sound); }
  void PostFormDraw(std::string_view) override {}
  void LowExtDraw(std::string_view, const TRect&, std::string_view, int32_t, int32_t, uint32_t, uint8_t) override {}

  // Fills the screen with a picture (or black for an empty name).
  void Clear(const std::string& background);
  // Writes the screen as a PNG file.
  void Save(const std::filesystem::path& file) const;

  TQelFontEngine* Fonts = nullptr;
  std::set<std::string> Missing;  // pictures asked for that neither the archive nor the folder holds
  std::vector<std::string> Sounds;
  int GlyphsDrawn = 0;

 private:
  const TPngImage* Picture(std::string_view name);
  void Blend(int x, int y, uint8_t b, uint8_t g, uint8_t r, int alpha);

  std::map<std::string, TPngImage> Pictures;
  TPngImage Screen;
};

}  // namespace qv::test
