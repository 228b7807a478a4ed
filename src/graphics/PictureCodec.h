// PNG and JPEG pictures to and from plain pixel rows. Every picture travels
// as 24-bit rows in blue, green, red byte order (no padding between rows),
// with an optional row of 8-bit alpha per pixel row. A damaged or truncated
// picture raises EPictureError with a readable text; the decoders never end
// the process and never read outside their input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/MemoryStream.h"
#include "foundation/QelException.h"

namespace qv {

class EPictureError : public Exception {
 public:
  using Exception::Exception;
};

// Largest picture the decoders accept, per side and in pixels; larger
// headers are refused before any pixel memory is taken.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr int64_t kMaxPicturePixels = int64_t(1) << 24;

// A 24-bit picture: Height rows of Width x 3 bytes, blue, green, red.
struct TBitmap24 {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Pixels;

  bool Empty() const { return Width <= 0 || Height <= 0; }
  uint8_t* Row(int y) { return Pixels.data() + size_t(y) * size_t(Width) * 3; }
  const uint8_t* Row(int y) const { return Pixels.data() + size_t(y) * size_t(Width) * 3; }
  void Resize(int width, int height);
};

// PNG colour types as stored in the header.
enum : uint8_t {
  kPngGrey = 0,
  kPngRGB = 2,
  kPngPalette = 3,
  kPngGreyAlpha = 4,
  kPngRGBAlpha = 6,
};

// A decoded PNG picture. Every colour type and bit depth decodes to 8-bit
// blue, green, red rows (grey is spread to all three, palettes are looked up,
// 16-bit samples keep their high byte). Only colour types 4 and 6 have an
// alpha channel; a tRNS chunk is reported in HasTransparency and turned into
// alpha only on request, because pictures with a transparent colour load as
// opaque into surfaces (picture scripts do use it as alpha).
struct TPngImage : TBitmap24 {
  uint8_t ColorType = kPngRGB;  // as stored
  uint8_t BitDepth = 8;         // as stored
  bool Interlaced = false;
  bool HasTransparency = false;  // a tRNS chunk was present
  std::vector<uint8_t> Alpha;    // Height rows of Width bytes; empty without alpha channel

  bool HasAlpha() const { return !Alpha.empty(); }
  uint8_t* AlphaRow(int y) { return Alpha.data() + size_t(y) * size_t(Width); }
  const uint8_t* AlphaRow(int y) const { return Alpha.data() + size_t(y) * size_t(Width); }
};

// An empty input (no bytes at all) is no picture: the result is Empty() and
// no error is raised. Anything else that is not a whole, valid PNG raises
// EPictureError.
enum class TPngTransparency {
  Report,   // tRNS only sets HasTransparency
  ToAlpha,  // a picture without an alpha channel gets one from its tRNS chunk
};
TPngImage DecodePNG(const uint8_t* data, size_t size, TPngTransparency transparency = TPngTransparency::Report);
// The whole stream, whatever its position.
TPngImage DecodePNG(const TMemoryStream& stream, TPngTransparency transparency = TPngTransparency::Report);

// Writes an 8-bit PNG without interlace: colour type 6 when the image has
// alpha rows, else 2. Raises EPictureError for an empty image.
std::vector<uint8_t> EncodePNG(const TPngImage& image);
// Writes an 8-bit grey PNG (colour type 0) from Height rows of Width bytes.
std::vector<uint8_t> EncodeGreyPNG(int width, int height, const uint8_t* grey);

// Baseline and progressive JPEG, grey or colour, to 24-bit rows. Empty input
// and damaged or truncated data raise EPictureError.
TBitmap24 DecodeJPEG(const uint8_t* data, size_t size);
TBitmap24 DecodeJPEG(const TMemoryStream& stream);
// Only rows [firstRow, firstRow + rowCount) of the picture, clipped to it (the
// result may have no rows); the rest is still decoded and checked, but never
// held, so a window of a large picture costs the window's memory.
TBitmap24 DecodeJPEGRows(const uint8_t* data, size_t size, int32_t firstRow, int32_t rowCount);
// Baseline JPEG at the quality (clamped to 0..100).
std::vector<uint8_t> EncodeJPEG(const TBitmap24& image, int quality);

}  // namespace qv
