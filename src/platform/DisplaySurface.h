// Off-screen pictures in processor memory, in the screen's pixel format.
// Their memory never moves for as long as they live, so a pointer taken by
// Lock stays good after Unlock; rows are Pitch bytes apart (padded).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace qv {

// Rectangle with exclusive Right and Bottom.
struct TDisplayRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TDisplayRect&, const TDisplayRect&) = default;
};

// 16 bits (5-6-5 or 5-5-5, told apart by the masks) or 32 bits with blue in
// byte 0, green in byte 1 and red in byte 2.
struct TPixelFormat {
  uint32_t BitCount = 32;
  uint32_t RMask = 0x00FF0000;
  uint32_t GMask = 0x0000FF00;
  uint32_t BMask = 0x000000FF;
  uint32_t BytesPerPixel() const { return (BitCount + 7) / 8; }
  friend bool operator==(const TPixelFormat&, const TPixelFormat&) = default;
};

inline constexpr TPixelFormat kFormatRGB565{16, 0xF800, 0x07E0, 0x001F};
inline constexpr TPixelFormat kFormatRGB555{16, 0x7C00, 0x03E0, 0x001F};
inline constexpr TPixelFormat kFormatXRGB8888{32, 0x00FF0000, 0x0000FF00, 0x000000FF};

class TDisplaySurface {
 public:
  // Rows are padded to a multiple of 16 bytes. Sizes must be positive.
  TDisplaySurface(int width, int height, const TPixelFormat& format);
  TDisplaySurface(const TDisplaySurface&) = delete;
  TDisplaySurface& operator=(const TDisplaySurface&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Pitch() const { return pitch_; }
  const TPixelFormat& Format() const { return format_; }

  // The pixel memory; Unlock is kept for symmetry with the drawing code,
  // which locks a surface for the length of a pixel loop.
  uint8_t* Lock() { return memory_.data(); }
  void Unlock() {}
  // Surfaces in processor memory are never lost.
  bool Restore() { return true; }

  uint8_t* Row(int y) { return memory_.data() + size_t(y) * size_t(pitch_); }
  const uint8_t* Row(int y) const { return memory_.data() + size_t(y) * size_t(pitch_); }

 private:
  int width_;
  int height_;
  int pitch_;
  TPixelFormat format_;
  std::vector<uint8_t> memory_;
};

// The fast opaque copy: the source rectangle (whole source when null) to
// (x, y) of the target. Both surfaces must share one pixel format; the copy
// is clipped to both surfaces and an inverted rectangle copies nothing.
// False when the formats differ.
bool BltFast(TDisplaySurface& target, int x, int y, const TDisplaySurface& source, const TDisplayRect* sourceRect);

}  // namespace qv
