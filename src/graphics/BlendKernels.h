// The per-pixel alpha-tint blend over one row, in 32 and 16 bits. With
// source alpha s, global alpha A, tint colour K and weight W:
//   s = 0: the pixel is skipped;
//   s = 255, A = 255, W = 0: the source pixel is copied;
//   otherwise a = (A * s) >> 8 and the (tinted) source is blended with a.
// See SurfBlits.cpp for the callers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qv {

using TWeightTable = std::array<uint8_t, 256>;

struct TTint {
  uint32_t Color = 0;  // 0x00BBGGRR
  uint8_t Weight = 0;  // 0: no tint
  const TWeightTable* Table = nullptr;
  uint32_t Color16 = 0;  // the colour in the 16-bit format
};

struct TMasks16 {
  uint32_t R = 0, G = 0, B = 0;
};

// A block of rows, n pixels each: dst, src and alpha point at the first
// pixel of the first row, the pitches step from row to row.
void BlendRows32(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch, const uint8_t* alpha,
                 ptrdiff_t alphaPitch, int n, int rows, uint8_t globalAlpha, const TTint& tint);
void BlendRows16(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch, const uint8_t* alpha,
                 ptrdiff_t alphaPitch, int n, int rows, uint8_t globalAlpha, const TTint& tint,
                 const TMasks16& masks);
// One row of n pixels.
void BlendRow32(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, int n, uint8_t globalAlpha, const TTint& tint);
// The rule one pixel at a time, as the fast rows are checked against.
void BlendRow32Reference(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, int n, uint8_t globalAlpha,
                         const TTint& tint);
void BlendRow16Reference(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, int n, uint8_t globalAlpha,
                         const TTint& tint, const TMasks16& masks);
void BlendRow16(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, int n, uint8_t globalAlpha, const TTint& tint,
                const TMasks16& masks);

}  // namespace qv
