// A recording host for the interface toolkit's tests: every call is kept
// with its arguments, picture sizes come from a small table (unknown
// pictures measure 0 x 0) and the screen is 800 x 600. With Fonts set,
// ExtDraw also copies the glyph records it was asked to draw.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/CharRects.h"
#include "foundation/SFunctions.h"
#include "ui/QelFontEngine.h"
#include "ui/QelInterface.h"

namespace qv::test {

struct TGraphicCall {
  std::string Op;       // "Draw", "DrawBumpMap", "DrawRect", "ExtDraw", "DrawColoredAlpha",
                        // "PlaySound", "PostFormDraw", "LowExtDraw"
  std::string Picture;  // the picture, sound or form name
  std::string BumpMap;
  TBlendingMode Mode = TBlendingMode::bmNormal;
  int32_t X = 0;
  int32_t Y = 0;
  uint8_t Alpha = 0;
  std::optional<TRect> Rect;  // SrcRect or the DrawRect rectangle
  uint32_t Color = 0;
  bool Flag = false;
  int32_t Count = 0;
  TCharsRects Glyphs;  // ExtDraw: the first Count records, when Fonts is set
};

class TFakeGraphic : public IQelGraphic {
 public:
  void Draw(std::string_view picture, std::string_view bumpMap, TBlendingMode mode, int32_t x, int32_t y, uint8_t alpha,
            const TRect* srcRect) override {
    TGraphicCall c = Make("Draw", picture);
    c.BumpMap = bumpMap;
    c.Mode = mode;
    c.X = x;
    c.Y = y;
    c.Alpha = alpha;
    if (srcRect) c.Rect = *srcRect;
    Calls.push_back(std::move(c));
  }
  void DrawBumpMap(std::string_view picture, std::string_view bumpMap, int32_t x, int32_t y) override {
    TGraphicCall c = Make("DrawBumpMap", picture);
    c.BumpMap = bumpMap;
    c.X = x;
    c.Y = y;
    Calls.push_back(std::move(c));
  }
  void DrawRect(std::string_view picture, const TRect& rect, uint32_t color, uint8_t alpha, bool flag) override {
    TGraphicCall c = Make("DrawRect", picture);
    c.Rect = rect;
    c.Color = color;
    c.Alpha = alpha;
    c.Flag = flag;
    Calls.push_back(std::move(c));
  }
  void ExtDraw(std::string_view picture, int32_t count) override {
    TGraphicCall c = Make("ExtDraw", picture);
    c.Count = count;
    if (Fonts) {
      for (int32_t i = 0; i < count && static_cast<size_t>(i) < Fonts->CharsRects.size(); ++i)
        c.Glyphs.push_back(Fonts->CharsRects[static_cast<size_t>(i)]);
    }
    Calls.push_back(std::move(c));
  }
  void DrawColoredAlpha(std::string_view picture, std::string_view bumpMap, int32_t x, int32_t y, uint32_t color,
                        uint8_t alpha) override {
    TGraphicCall c = Make("DrawColoredAlpha", picture);
    c.BumpMap = bumpMap;
    c.X = x;
    c.Y = y;
    c.Color = color;
    c.Alpha = alpha;
    Calls.push_back(std::move(c));
  }
  void GetPictureSize(int32_t& width, int32_t& height, std::string_view picture) override {
    width = 0;
    height = 0;
    auto it = Pictures.find(std::string(picture));
    if (it == Pictures.end()) return;
    width = it->second.first;
    height = it->second.second;
  }
  void GetScreenSize(int32_t& width, int32_t& height) override {
    width = ScreenWidth;
    height = ScreenHeight;
  }
  void PlaySound(std::string_view sound) override { Calls.push_back(Make("PlaySound", sound)); }
  void PostFormDraw(std::string_view formName) override { Calls.push_back(Make("PostFormDraw", formName)); }
  void LowExtDraw(std::string_view picture, const TRect& srcRect, std::string_view bumpMap, int32_t x, int32_t y,
                  uint32_t color, uint8_t alpha) override {
    TGraphicCall c = Make("LowExtDraw", picture);
    c.Rect = srcRect;
    c.BumpMap = bumpMap;
    c.X = x;
    c.Y = y;
    c.Color = color;
    c.Alpha = alpha;
    Calls.push_back(std::move(c));
  }

  void SetPicture(const std::string& name, int32_t width, int32_t height) { Pictures[name] = {width, height}; }

  // The recorded calls of one operation, in order.
  std::vector<TGraphicCall> Of(std::string_view op) const {
    std::vector<TGraphicCall> out;
    for (const TGraphicCall& c : Calls) {
      if (c.Op == op) out.push_back(c);
    }
    return out;
  }
  // "Op:Name" of every call, in order: a compact trace for sequence checks.
  std::vector<std::string> Trace() const {
    std::vector<std::string> out;
    for (const TGraphicCall& c : Calls) out.push_back(c.Op + ":" + c.Picture);
    return out;
  }

  std::vector<TGraphicCall> Calls;
  std::map<std::string, std::pair<int32_t, int32_t>> Pictures;
  int32_t ScreenWidth = 800;
  int32_t ScreenHeight = 600;
  const TQelFontEngine* Fonts = nullptr;

 private:
  static TGraphicCall Make(const char* op, std::string_view name) {
    TGraphicCall c;
    c.Op = op;
    c.Picture = std::string(name);
    return c;
  }
};

}  // namespace qv::test
