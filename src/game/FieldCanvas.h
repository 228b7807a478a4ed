// The narrow drawing interface through which the card game draws its field,
// its level surfaces and the kingdom map: named surfaces of the surface
// engine, drawn into a named target. Rectangles given as source rectangles
// are inclusive on all four edges; a rectangle to fill is exclusive on the
// right and bottom.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/SFunctions.h"

namespace qv {

class TSurfEngine;

class IFieldCanvas {
 public:
  virtual ~IFieldCanvas() = default;

  virtual bool Exists(std::string_view name) = 0;
  // False when there is no such surface.
  virtual bool GetSize(std::string_view name, int32_t& width, int32_t& height) = 0;

  // The alpha-channel blit: alpha 0..255, an optional source rectangle, a
  // tint toward color (0x00BBGGRR) of the given weight (0 none).
  virtual void Draw(std::string_view source, std::string_view target, int32_t x, int32_t y, uint8_t alpha,
                    const TRect* sourceRect, uint32_t color, uint8_t weight) = 0;
  // The opaque copy; sourceRect has exclusive right and bottom edges here.
  virtual void DrawOpaque(std::string_view source, std::string_view target, int32_t x, int32_t y,
                          const TRect* sourceRect) = 0;
  virtual void DrawAlphaRamp(std::string_view source, std::string_view target, int32_t x, int32_t y,
                             const TRect* sourceRect, uint32_t color, int32_t a1, int32_t a2, int32_t a3,
                             int32_t peak) = 0;
  virtual void BlendRect(std::string_view target, const TRect& rect, uint32_t color, uint8_t alpha) = 0;
  virtual void MultiplyAlpha(std::string_view source, std::string_view target, int32_t x, int32_t y,
                             const TRect* sourceRect) = 0;
  virtual void CombineAlpha(std::string_view source, std::string_view target, int32_t x, int32_t y,
                            const TRect* sourceRect, uint8_t factor) = 0;
  virtual void ChannelToAlpha(std::string_view source, std::string_view target, const TRect* rect,
                              uint8_t channel) = 0;
  virtual void ColorSetToAlpha(std::string_view source, std::string_view target,
                               const std::vector<TPoint>& points, const TRect* rect, uint8_t value) = 0;
  // The inclusive bounds of the pixels of the colour found at point; empty
  // (Right < Left) when nothing matched.
  virtual TRect ColorKeyToAlpha(std::string_view source, std::string_view target, TPoint point,
                                const TRect* rect, uint8_t value) = 0;

  // A new surface of that size in place of any surface of that name.
  virtual bool CreateSurface(const std::string& name, int32_t width, int32_t height) = 0;
  virtual void DeleteSurface(std::string_view name) = 0;
  virtual void FillSurface(std::string_view name, uint8_t value) = 0;
  // Fills the alpha buffer, making it when the surface has none.
  virtual void FillAlpha(std::string_view name, uint8_t value) = 0;
  virtual bool HasAlpha(std::string_view name) = 0;
  // The alpha bytes of an inclusive rectangle, row by row; false when the
  // surface has no alpha or the rectangle does not lie inside it.
  virtual bool ReadAlpha(std::string_view name, const TRect& rect, std::vector<uint8_t>& bytes) = 0;
  // Writes such bytes back; parts outside the surface are left out.
  virtual void WriteAlpha(std::string_view name, const TRect& rect, const std::vector<uint8_t>& bytes) = 0;
  // Decodes a JPEG picture and copies its inclusive rectangle into target at
  // (0, 0). False when the picture cannot be decoded.
  virtual bool CopyJpegWindow(const std::string& jpeg, std::string_view target, const TRect& rect) = 0;
};

// Text and labels that the field writes: the first font of the font engine,
// the label painter of the shell and label pictures.
class IFieldHost {
 public:
  virtual ~IFieldHost() = default;
  // Width and height in pixels of a UTF-8 text in the first font.
  virtual int32_t TextWidth(std::string_view text) = 0;
  virtual int32_t TextHeight() = 0;
  virtual void TextOut(std::string_view target, std::string_view text, int32_t x, int32_t y, uint8_t alpha,
                       uint32_t color) = 0;
  // Writes the caption of sourceLabel through label onto picture.
  virtual void DrawLabelOnPicture(std::string_view label, std::string_view sourceLabel, int32_t x, int32_t y,
                                  int32_t width, int32_t angle, int32_t color, std::string_view picture) = 0;
  // The picture, mouse-over picture and mouse-down picture of a label.
  virtual void SetLabelPictures(std::string_view label, std::string_view picture) = 0;
};

// The canvas over a surface engine; the engine must outlive it.
std::unique_ptr<IFieldCanvas> MakeSurfEngineCanvas(TSurfEngine& engine);

}  // namespace qv
