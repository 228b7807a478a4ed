// Arbitrary bytes as a PNG picture, loaded into surfaces of both depths.
#include <cstddef>
#include <cstdint>

#include "graphics/PictureCodec.h"
#include "graphics/SurfEngine.h"
#include "platform/HeadlessDisplay.h"

namespace {

void LoadInto(const qv::TPngImage& png, const qv::TPixelFormat& format) {
  qv::THeadlessDisplay display(format);
  std::string error;
  qv::TDisplayMode mode;
  mode.Width = 8;
  mode.Height = 8;
  if (!display.Open(mode, error)) return;
  qv::TSurfEngine engine;
  engine.Create(&display, display.PrimarySurface(), 8, 8);
  qv::TSurface record;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (engine.CreateSurface(record, png.Width, png.Height, bits, pitch)) engine.PNGToSurface(record, png);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const qv::TPngImage png = qv::DecodePNG(data, size);
    if (png.Empty() || png.Width * int64_t(png.Height) > 1 << 20) return 0;
    LoadInto(png, qv::kFormatXRGB8888);
    LoadInto(png, qv::kFormatRGB565);
  } catch (const qv::EPictureError&) {
  }
  return 0;
}
