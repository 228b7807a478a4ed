// SDL2's own software blit with blending (a picture with alpha in the high
// byte onto a picture without alpha), kept as a yardstick for the speed of
// the engine's blits. The benchmark runs both on identical pixels.
#pragma once

#include <cstdint>
#include <memory>

namespace qv {

class TSdlReferenceBlit {
 public:
  // source: width x height pixels 0xAARRGGBB; the target starts black.
  TSdlReferenceBlit(int sourceWidth, int sourceHeight, const uint32_t* source, int targetWidth, int targetHeight);
  ~TSdlReferenceBlit();
  TSdlReferenceBlit(const TSdlReferenceBlit&) = delete;
  TSdlReferenceBlit& operator=(const TSdlReferenceBlit&) = delete;

  bool Valid() const;
  // Blends the whole source onto the target at (x, y).
  void Blit(int x, int y);
  // Target pixel (x, y) as 0x00RRGGBB.
  uint32_t TargetPixel(int x, int y) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qv
