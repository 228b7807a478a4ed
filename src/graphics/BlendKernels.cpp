#include "graphics/BlendKernels.h"

#include <cstring>

namespace qv {

namespace {

// Pixels of a run whose alpha lies strictly between 0 and 255 (or any
// non-zero alpha when the global alpha is below 255): no branch inside, so
// the compiler can vectorise it.
void BlendSpan32(uint8_t* d, const uint8_t* s, const uint8_t* al, int n, uint32_t A) {
  for (int i = 0; i < n; ++i) {
    const uint32_t a = (A * al[i]) >> 8, ia = 255 - a;
    d[4 * i + 0] = uint8_t((s[4 * i + 0] * a + ia * d[4 * i + 0]) >> 8);
    d[4 * i + 1] = uint8_t((s[4 * i + 1] * a + ia * d[4 * i + 1]) >> 8);
    d[4 * i + 2] = uint8_t((s[4 * i + 2] * a + ia * d[4 * i + 2]) >> 8);
  }
}

// The tinted source byte: v = c + floor((x - c) * w / 256), the floor of a
// signed product (an arithmetic shift).
inline uint32_t Tinted(int32_t x, int32_t c, int32_t w) { return uint32_t(c + (((x - c) * w) >> 8)); }

}  // namespace

void BlendRow32(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, int n, uint8_t globalAlpha,
                const TTint& tint) {
  const uint32_t A = globalAlpha;
  if (tint.Weight == 0) {
    int i = 0;
    while (i < n) {
      if (alpha[i] == 0) {
        ++i;
        continue;
      }
      int j = i + 1;
      if (alpha[i] == 255 && A == 255) {
        while (j < n && alpha[j] == 255) ++j;
        std::memcpy(dst + 4 * i, src + 4 * i, size_t(j - i) * 4);
      } else {
        // A run that needs blending: with A = 255 the opaque pixels end it,
        // in every case the transparent ones do.
        if (A == 255)
          while (j < n && alpha[j] != 0 && alpha[j] != 255) ++j;
        else
          while (j < n && alpha[j] != 0) ++j;
        BlendSpan32(dst + 4 * i, src + 4 * i, alpha + i, j - i, A);
      }
      i = j;
    }
    return;
  }
  const int32_t c0 = int32_t((tint.Color >> 16) & 0xFF);  // byte 0 takes blue
  const int32_t c1 = int32_t((tint.Color >> 8) & 0xFF);
  const int32_t c2 = int32_t(tint.Color & 0xFF);
  const int32_t W = tint.Weight;
  const TWeightTable* table = tint.Table;
  for (int i = 0; i < n; ++i) {
    const uint32_t s = alpha[i];
    if (s == 0) continue;
    const uint32_t a = (A * s) >> 8, ia = 255 - a;
    uint8_t* d = dst + 4 * i;
    const uint8_t* x = src + 4 * i;
    uint32_t v0, v1, v2;
    if (table) {
      const TWeightTable& t = *table;
      v0 = Tinted(x[0], c0, 255 - ((W * t[x[0]]) >> 8));
      v1 = Tinted(x[1], c1, 255 - ((W * t[x[1]]) >> 8));
      v2 = Tinted(x[2], c2, 255 - ((W * t[x[2]]) >> 8));
    } else {
      v0 = Tinted(x[0], c0, W);
      v1 = Tinted(x[1], c1, W);
      v2 = Tinted(x[2], c2, W);
    }
    d[0] = uint8_t((v0 * a + ia * d[0]) >> 8);
    d[1] = uint8_t((v1 * a + ia * d[1]) >> 8);
    d[2] = uint8_t((v2 * a + ia * d[2]) >> 8);
  }
}

void BlendRow16(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, int n, uint8_t globalAlpha, const TTint& tint,
                const TMasks16& m) {
  const uint32_t A = globalAlpha;
  const int32_t W = tint.Weight;
  const bool tinted = W != 0 && W != 255;
  const uint32_t k = tint.Color16;
  for (int i = 0; i < n; ++i) {
    const uint32_t s = alpha[i];
    if (s == 0) continue;
    if (s == 255 && A == 255 && W == 0) {
      std::memcpy(dst + 2 * i, src + 2 * i, 2);
      continue;
    }
    const uint32_t a = (A * s) >> 8;
    if (a == 0) continue;
    uint16_t sv, dv;
    std::memcpy(&sv, src + 2 * i, 2);
    std::memcpy(&dv, dst + 2 * i, 2);
    uint32_t v = sv;
    if (tinted) {
      v = 0;
      for (uint32_t mask : {m.R, m.G, m.B}) {
        const int32_t km = int32_t(k & mask);
        v += uint32_t(km + ((W * (int32_t(sv & mask) - km)) >> 8)) & mask;
      }
    }
    uint32_t result = 0;
    for (uint32_t mask : {m.R, m.G, m.B}) result += (((255 - a) * (dv & mask) + a * (v & mask)) >> 8) & mask;
    const uint16_t out = uint16_t(result);
    std::memcpy(dst + 2 * i, &out, 2);
  }
}

}  // namespace qv
