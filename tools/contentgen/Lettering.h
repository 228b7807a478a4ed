// Lettering for the pictures through FreeType with the DejaVu fonts.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "Canvas.h"

namespace contentgen {

class Lettering {
 public:
  // Opens one font file; raises std::runtime_error with the path when it cannot.
  explicit Lettering(const std::string& fontPath);
  ~Lettering();
  Lettering(const Lettering&) = delete;
  Lettering& operator=(const Lettering&) = delete;

  // Width in pixels of an ASCII text at a pixel size.
  float TextWidth(std::string_view text, int pixelSize);
  // Draws an ASCII text with its left edge at x and its baseline at y.
  void Draw(Canvas& canvas, std::string_view text, float x, float baseline, int pixelSize, const Rgba& colour);
  // Draws centred on x.
  void DrawCentred(Canvas& canvas, std::string_view text, float cx, float baseline, int pixelSize,
                   const Rgba& colour);

 private:
  struct Impl;
  std::unique_ptr<Impl> I;
};

}  // namespace contentgen
