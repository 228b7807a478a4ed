// Arbitrary bytes as a JPEG picture, loaded into surfaces of both depths.
#include <cstddef>
#include <cstdint>

#include "graphics/PictureCodec.h"
#include "graphics/SurfEngine.h"
#include "platform/HeadlessDisplay.h"

namespace {

void LoadInto(const qv::TBitmap24& bitmap, const qv::TPixelFormat& format) {
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
  if (engine.CreateSurface(record, bitmap.Width, bitmap.Height, bits, pitch))
    engine.BitmapToSurface(record, bitmap, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const qv::TBitmap24 bitmap = qv::DecodeJPEG(data, size);
    if (bitmap.Width * int64_t(bitmap.Height) > 1 << 20) return 0;
    LoadInto(bitmap, qv::kFormatXRGB8888);
    LoadInto(bitmap, qv::kFormatRGB555);
  } catch (const qv::EPictureError&) {
  }
  return 0;
}
