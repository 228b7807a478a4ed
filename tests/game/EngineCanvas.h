// A real surface engine on a headless display, reached through the game's
// canvas, with pictures made on the spot and golden-frame comparison. Kept
// apart from the engine's header, whose names clash with the game's.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "game/FieldCanvas.h"

namespace qv::test {

struct Rgba {
  uint8_t R = 0, G = 0, B = 0, A = 255;
};

class EngineCanvas {
 public:
  explicit EngineCanvas(int bitsPerPixel = 32);
  ~EngineCanvas();

  IFieldCanvas& Canvas();
  // A picture whose pixels come from paint(x, y); with alpha it gets an
  // alpha buffer from the A of each pixel.
  void MakePicture(const std::string& name, int width, int height, bool alpha,
                   const std::function<Rgba(int, int)>& paint);
  // A JPEG picture of that size, as bytes.
  static std::string MakeJpegBytes(int width, int height, const std::function<Rgba(int, int)>& paint);
  // The pixel as 8-bit red, green, blue (16-bit formats widened).
  Rgba Pixel(const std::string& name, int x, int y);
  uint8_t Alpha(const std::string& name, int x, int y);
  // Compares the surface with a stored PNG; with QUORVANE_REGEN_GOLDENS set
  // in the environment the PNG is written instead. Returns an empty text
  // when they agree within tolerance per channel.
  std::string CheckGolden(const std::string& name, const std::string& pngPath, int tolerance);

 private:
  struct Impl;
  std::unique_ptr<Impl> P;
};

}  // namespace qv::test
