// A canvas that records what is drawn, and a host for texts and labels.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "game/FieldCanvas.h"

namespace qv::test {

struct DrawCall {
  std::string Source, Target;
  int32_t X = 0, Y = 0;
  uint8_t Alpha = 0;
  std::optional<TRect> Rect;
  uint32_t Color = 0;
  uint8_t Weight = 0;
};

class FakeCanvas : public IFieldCanvas {
 public:
  bool Exists(std::string_view name) override { return Sizes.count(std::string(name)) > 0; }
  bool GetSize(std::string_view name, int32_t& w, int32_t& h) override {
    const auto it = Sizes.find(std::string(name));
    if (it == Sizes.end()) return false;
    w = it->second.first;
    h = it->second.second;
    return true;
  }
  void Draw(std::string_view source, std::string_view target, int32_t x, int32_t y, uint8_t alpha,
            const TRect* rect, uint32_t color, uint8_t weight) override {
    DrawCall c{std::string(source), std::string(target), x, y, alpha, std::nullopt, color, weight};
    if (rect) c.Rect = *rect;
    Draws.push_back(c);
  }
  void DrawOpaque(std::string_view source, std::string_view target, int32_t x, int32_t y, const TRect* rect) override {
    DrawCall c{std::string(source), std::string(target), x, y, 255, std::nullopt, 0, 0};
    if (rect) c.Rect = *rect;
    Opaque.push_back(c);
  }
  void DrawAlphaRamp(std::string_view source, std::string_view target, int32_t, int32_t, const TRect*, uint32_t,
                     int32_t a1, int32_t a2, int32_t a3, int32_t) override {
    Ramps.push_back(std::string(source) + ">" + std::string(target) + " " + std::to_string(a1) + "," +
                    std::to_string(a2) + "," + std::to_string(a3));
  }
  void BlendRect(std::string_view, const TRect&, uint32_t, uint8_t) override {}
  void MultiplyAlpha(std::string_view, std::string_view, int32_t, int32_t, const TRect*) override {}
  void CombineAlpha(std::string_view source, std::string_view target, int32_t x, int32_t y, const TRect*,
                    uint8_t) override {
    Combines.push_back({std::string(source), std::string(target), x, y, 255, std::nullopt, 0, 0});
  }
  void ChannelToAlpha(std::string_view, std::string_view, const TRect*, uint8_t) override {}
  void ColorSetToAlpha(std::string_view, std::string_view, const std::vector<TPoint>& points, const TRect*,
                       uint8_t) override {
    ColorSets.push_back(points);
  }
  TRect ColorKeyToAlpha(std::string_view, std::string_view, TPoint, const TRect*, uint8_t) override {
    return TRect{1000, 1000, -1000, -1000};
  }
  bool CreateSurface(const std::string& name, int32_t w, int32_t h) override {
    Sizes[name] = {w, h};
    Created.push_back(name);
    return true;
  }
  void DeleteSurface(std::string_view name) override { Sizes.erase(std::string(name)); }
  void FillSurface(std::string_view, uint8_t) override {}
  void FillAlpha(std::string_view name, uint8_t) override { AlphaFills.emplace_back(name); }
  bool HasAlpha(std::string_view) override { return true; }
  bool ReadAlpha(std::string_view, const TRect&, std::vector<uint8_t>&) override { return false; }
  void WriteAlpha(std::string_view, const TRect&, const std::vector<uint8_t>&) override {}
  bool CopyJpegWindow(const std::string&, std::string_view target, const TRect& rect) override {
    JpegWindows.emplace_back(std::string(target), rect);
    return true;
  }

  // The draws of one source picture, in order.
  std::vector<DrawCall> Of(const std::string& source) const {
    std::vector<DrawCall> out;
    for (const DrawCall& c : Draws)
      if (c.Source == source) out.push_back(c);
    return out;
  }

  std::map<std::string, std::pair<int32_t, int32_t>> Sizes;
  std::vector<DrawCall> Draws, Opaque, Combines;
  std::vector<std::string> Ramps, Created, AlphaFills;
  std::vector<std::vector<TPoint>> ColorSets;
  std::vector<std::pair<std::string, TRect>> JpegWindows;
};

struct TextCall {
  std::string Text;
  int32_t X, Y;
  uint8_t Alpha;
  uint32_t Color;
};

struct LabelCall {
  std::string Source;
  int32_t X, Y, Width, Angle, Color;
  std::string Picture;
};

class FakeHost : public IFieldHost {
 public:
  int32_t TextWidth(std::string_view text) override { return 8 * static_cast<int32_t>(text.size()); }
  int32_t TextHeight() override { return 14; }
  void TextOut(std::string_view, std::string_view text, int32_t x, int32_t y, uint8_t alpha, uint32_t color) override {
    Texts.push_back({std::string(text), x, y, alpha, color});
  }
  void DrawLabelOnPicture(std::string_view, std::string_view source, int32_t x, int32_t y, int32_t width,
                          int32_t angle, int32_t color, std::string_view picture) override {
    Labels.push_back({std::string(source), x, y, width, angle, color, std::string(picture)});
  }
  void SetLabelPictures(std::string_view label, std::string_view picture) override {
    LabelPictures[std::string(label)] = std::string(picture);
  }
  std::vector<TextCall> Texts;
  std::vector<LabelCall> Labels;
  std::map<std::string, std::string> LabelPictures;
};

}  // namespace qv::test
