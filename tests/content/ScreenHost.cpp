#include "content/ScreenHost.h"

#include <algorithm>

#include "content/ContentSupport.h"
#include "foundation/Files.h"
#include "foundation/MemoryStream.h"
#include "foundation/StrUtils.h"

namespace qv::test {

ScreenHost::ScreenHost() {
  Screen.Resize(800, 600);
  Screen.Alpha.clear();
}

const TPngImage* ScreenHost::Picture(std::string_view name) {
  const std::string key(name);
  // "OverviewPic" is made by the game from the kingdom map at run time.
  if (key.empty() || key == "OverviewPic") return nullptr;
  auto it = Pictures.find(key);
  if (it != Pictures.end()) return &it->second;
  const std::string lower = LowerAscii(key);
  const bool png = lower.size() > 4 && lower.substr(lower.size() - 4) == ".png";
  TPngImage image;
  try {
    std::vector<uint8_t> bytes;
    if (TMemoryStream* s = WorkingArchive().GetStream(key)) {
      bytes = s->Bytes();
    } else if (std::filesystem::exists(ProgramFolder() / lower)) {
      // The game loads the pictures of its folder under lower-case names.
      bytes = ReadWholeFile(ProgramFolder() / lower);
    }
    if (bytes.empty()) {
      Missing.insert(key);
      return nullptr;
    }
    if (png) {
      image = DecodePNG(bytes.data(), bytes.size());
    } else {
      TBitmap24 jpeg = DecodeJPEG(bytes.data(), bytes.size());
      image.Width = jpeg.Width;
      image.Height = jpeg.Height;
      image.Pixels = std::move(jpeg.Pixels);
    }
  } catch (const std::exception&) {
    Missing.insert(key);
    return nullptr;
  }
  return &Pictures.emplace(key, std::move(image)).first->second;
}

void ScreenHost::Blend(int x, int y, uint8_t b, uint8_t g, uint8_t r, int alpha) {
  if (x < 0 || y < 0 || x >= 800 || y >= 600 || alpha <= 0) return;
  uint8_t* p = Screen.Row(y) + size_t(x) * 3;
  const int a = std::min(alpha, 255);
  p[0] = uint8_t((p[0] * (256 - a) + b * a) >> 8);
  p[1] = uint8_t((p[1] * (256 - a) + g * a) >> 8);
  p[2] = uint8_t((p[2] * (256 - a) + r * a) >> 8);
}

void ScreenHost::Draw(std::string_view picture, std::string_view, TBlendingMode, int32_t x, int32_t y, uint8_t alpha,
                      const TRect* srcRect) {
  const TPngImage* img = Picture(picture);
  if (!img) return;
  TRect src{0, 0, img->Width - 1, img->Height - 1};
  if (srcRect) src = *srcRect;
  for (int sy = std::max(0, src.Top); sy <= std::min(img->Height - 1, src.Bottom); ++sy)
    for (int sx = std::max(0, src.Left); sx <= std::min(img->Width - 1, src.Right); ++sx) {
      const uint8_t* p = img->Row(sy) + size_t(sx) * 3;
      const int a = img->HasAlpha() ? img->AlphaRow(sy)[sx] : 255;
      Blend(x + sx - src.Left, y + sy - src.Top, p[0], p[1], p[2], a * alpha / 255);
    }
}

void ScreenHost::DrawRect(std::string_view, const TRect& rect, uint32_t color, uint8_t alpha, bool) {
  for (int y = rect.Top; y < rect.Bottom; ++y)
    for (int x = rect.Left; x < rect.Right; ++x)
      Blend(x, y, uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color), alpha);
}

void ScreenHost::ExtDraw(std::string_view picture, int32_t count) {
  const TPngImage* font = Picture(picture);
  if (!font || !Fonts) return;
  for (int32_t i = 0; i < count && size_t(i) < Fonts->CharsRects.size(); ++i) {
    const TCharRect& g = Fonts->CharsRects[size_t(i)];
    ++GlyphsDrawn;
    for (int sy = g.Top; sy <= g.Bottom && sy < font->Height; ++sy)
      for (int sx = g.Left; sx <= g.Right && sx < font->Width; ++sx) {
        if (sx < 0 || sy < 0) continue;
        const int a = font->HasAlpha() ? font->AlphaRow(sy)[sx] : 255;
        Blend(g.X + sx - g.Left, g.Y + sy - g.Top, uint8_t(g.Color >> 16), uint8_t(g.Color >> 8), uint8_t(g.Color),
              a * g.Alpha / 255);
      }
  }
}

void ScreenHost::DrawColoredAlpha(std::string_view picture, std::string_view, int32_t x, int32_t y, uint32_t color,
                                  uint8_t alpha) {
  const TPngImage* img = Picture(picture);
  if (!img) return;
  for (int sy = 0; sy < img->Height; ++sy)
    for (int sx = 0; sx < img->Width; ++sx) {
      const int a = img->HasAlpha() ? img->AlphaRow(sy)[sx] : 255;
      Blend(x + sx, y + sy, uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color), a * alpha / 255);
    }
}

void ScreenHost::GetPictureSize(int32_t& width, int32_t& height, std::string_view picture) {
  width = height = 0;
  if (picture == "OverviewPic") {
    // Made by the game from the kingdom map for the level shown.
    width = 122;
    height = 102;
    return;
  }
  if (const TPngImage* img = Picture(picture)) {
    width = img->Width;
    height = img->Height;
  }
}

void ScreenHost::Clear(const std::string& background) {
  std::fill(Screen.Pixels.begin(), Screen.Pixels.end(), uint8_t(0));
  if (!background.empty()) Draw(background, "", TBlendingMode::bmNormal, 0, 0, 255, nullptr);
}

void ScreenHost::Save(const std::filesystem::path& file) const {
  const std::vector<uint8_t> bytes = EncodePNG(Screen);
  TMemoryStream s;
  s.Write(bytes.data(), bytes.size());
  s.SaveToFile(file);
}

}  // namespace qv::test
