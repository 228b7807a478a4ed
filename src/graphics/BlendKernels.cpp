#include "graphics/BlendKernels.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qv {

namespace {

inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// The tinted source byte: v = c + floor((x - c) * w / 256), the floor of a
// signed product (an arithmetic shift).
inline uint32_t Tinted(int32_t x, int32_t c, int32_t w) { return uint32_t(c + (((x - c) * w) >> 8)); }

// ---------------------------------------------------------------- one pixel

inline void BlendPixel32(uint8_t* d, const uint8_t* x, uint32_t s, uint32_t A, const TTint& tint) {
  if (s == 0) return;
  const int32_t W = tint.Weight;
  if (s == 255 && A == 255 && W == 0) {
    std::memcpy(d, x, 4);
    return;
  }
  const uint32_t a = (A * s) >> 8, ia = 255 - a;
  uint32_t v0 = x[0], v1 = x[1], v2 = x[2];
  if (W != 0) {
    const int32_t c0 = int32_t((tint.Color >> 16) & 0xFF);  // byte 0 takes blue
    const int32_t c1 = int32_t((tint.Color >> 8) & 0xFF);
    const int32_t c2 = int32_t(tint.Color & 0xFF);
    if (tint.Table) {
      const TWeightTable& t = *tint.Table;
      v0 = Tinted(x[0], c0, 255 - ((W * t[x[0]]) >> 8));
      v1 = Tinted(x[1], c1, 255 - ((W * t[x[1]]) >> 8));
      v2 = Tinted(x[2], c2, 255 - ((W * t[x[2]]) >> 8));
    } else {
      v0 = Tinted(x[0], c0, W);
      v1 = Tinted(x[1], c1, W);
      v2 = Tinted(x[2], c2, W);
    }
  }
  d[0] = uint8_t((v0 * a + ia * d[0]) >> 8);
  d[1] = uint8_t((v1 * a + ia * d[1]) >> 8);
  d[2] = uint8_t((v2 * a + ia * d[2]) >> 8);
}

inline void BlendPixel16(uint8_t* dst, const uint8_t* src, uint32_t s, uint32_t A, const TTint& tint,
                         const TMasks16& m) {
  if (s == 0) return;
  const int32_t W = tint.Weight;
  if (s == 255 && A == 255 && W == 0) {
    std::memcpy(dst, src, 2);
    return;
  }
  const uint32_t a = (A * s) >> 8;
  if (a == 0) return;
  uint16_t sv, dv;
  std::memcpy(&sv, src, 2);
  std::memcpy(&dv, dst, 2);
  uint32_t v = sv;
  if (W != 0 && W != 255) {
    v = 0;
    for (uint32_t mask : {m.R, m.G, m.B}) {
      const int32_t km = int32_t(tint.Color16 & mask);
      v += uint32_t(km + ((W * (int32_t(sv & mask) - km)) >> 8)) & mask;
    }
  }
  uint32_t result = 0;
  for (uint32_t mask : {m.R, m.G, m.B}) result += (((255 - a) * (dv & mask) + a * (v & mask)) >> 8) & mask;
  const uint16_t out = uint16_t(result);
  std::memcpy(dst, &out, 2);
}

#if defined(__SSE2__)

// ---------------------------------------------------------------- four 32-bit pixels
// The same arithmetic in 16-bit lanes: x * a + d * (255 - a) never exceeds
// 255 * 255, and the tint's floor((x - c) * w / 256) is the high half of
// ((x - c) << 7) * (w << 1), both factors within 16 bits.

struct TTint32Lanes {
  __m128i Color;   // c0, c1, c2, 0 for two pixels
  __m128i Weight;  // 2 * W in every lane
};

inline bool HasZeroByte(uint32_t v) { return ((v - 0x01010101u) & ~v & 0x80808080u) != 0; }

// a2 holds the four pixels' blend factors, each twice, in 16-bit lanes.
template <bool Tint>
inline void BlendCore32(uint8_t* dst, const uint8_t* src, __m128i a2, uint32_t alpha4, bool copyOpaque,
                        const TTint32Lanes& t) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
  const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
  // Byte 3 is never written by the blend: its lanes get a = 0 and 256 for
  // the target's weight, which gives back d * 256 >> 8 = d.
  const __m128i no3 = _mm_setr_epi16(-1, -1, -1, 0, -1, -1, -1, 0);
  const __m128i aLo = _mm_and_si128(_mm_unpacklo_epi32(a2, a2), no3);
  const __m128i aHi = _mm_and_si128(_mm_unpackhi_epi32(a2, a2), no3);
  const __m128i c255 = _mm_setr_epi16(255, 255, 255, 256, 255, 255, 255, 256);
  __m128i vLo = _mm_unpacklo_epi8(s, zero), vHi = _mm_unpackhi_epi8(s, zero);
  if (Tint) {
    vLo = _mm_add_epi16(t.Color, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(vLo, t.Color), 7), t.Weight));
    vHi = _mm_add_epi16(t.Color, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(vHi, t.Color), 7), t.Weight));
  }
  const __m128i lo = _mm_srli_epi16(
      _mm_add_epi16(_mm_mullo_epi16(vLo, aLo), _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(c255, aLo))),
      8);
  const __m128i hi = _mm_srli_epi16(
      _mm_add_epi16(_mm_mullo_epi16(vHi, aHi), _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(c255, aHi))),
      8);
  __m128i out = _mm_packus_epi16(lo, hi);
  // Transparent pixels keep the target; opaque untinted ones at global
  // alpha 255 take the source whole.
  if (HasZeroByte(alpha4) || (copyOpaque && HasZeroByte(~alpha4))) {
    const __m128i al = _mm_cvtsi32_si128(int(alpha4));
    __m128i none = _mm_cmpeq_epi8(al, zero);
    none = _mm_unpacklo_epi8(none, none);
    none = _mm_unpacklo_epi16(none, none);
    out = _mm_or_si128(_mm_and_si128(none, d), _mm_andnot_si128(none, out));
    if (copyOpaque) {
      __m128i full = _mm_cmpeq_epi8(al, _mm_set1_epi8(char(0xFF)));
      full = _mm_unpacklo_epi8(full, full);
      full = _mm_unpacklo_epi16(full, full);
      out = _mm_or_si128(_mm_and_si128(full, s), _mm_andnot_si128(full, out));
    }
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), out);
}

// The blend factors (A * s) >> 8 of four or eight pixels, each twice.
inline __m128i Factors(uint64_t alpha, uint32_t A, __m128i& upper) {
  const __m128i a16 =
      _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(_mm_cvtsi64_si128(int64_t(alpha)), _mm_setzero_si128()),
                                     _mm_set1_epi16(short(A))),
                     8);
  upper = _mm_unpackhi_epi16(a16, a16);
  return _mm_unpacklo_epi16(a16, a16);
}

template <bool Tint>
inline void BlendFour32(uint8_t* dst, const uint8_t* src, uint32_t alpha4, uint32_t A, bool copyOpaque,
                        const TTint32Lanes& t) {
  __m128i unused;
  BlendCore32<Tint>(dst, src, Factors(alpha4, A, unused), alpha4, copyOpaque, t);
}

template <bool Tint>
inline void BlendEight32(uint8_t* dst, const uint8_t* src, uint64_t alpha8, uint32_t A, bool copyOpaque,
                         const TTint32Lanes& t) {
  __m128i upper;
  const __m128i lower = Factors(alpha8, A, upper);
  BlendCore32<Tint>(dst, src, lower, uint32_t(alpha8), copyOpaque, t);
  BlendCore32<Tint>(dst + 16, src + 16, upper, uint32_t(alpha8 >> 32), copyOpaque, t);
}

// ---------------------------------------------------------------- eight 16-bit pixels
// Per channel with field values f = (p & M) >> shift, the rule
// ((255 - a) * (d & M) + a * (v & M)) >> 8 & M equals
// (((255 - a) * fd + a * fv) >> 8) << shift, and the tint
// (k_M + floor(W * ((s & M) - k_M) / 256)) & M equals
// (fk + floor(W * (fs - fk) / 256)) << shift; every product fits 16 bits.

struct TChannel16 {
  __m128i Mask;
  __m128i Shift;  // shift count for the 16-bit shifts
  __m128i Key;    // the tint colour's field value in every lane
};

struct TLanes16 {
  TChannel16 Channels[3];
  __m128i Weight;
};

template <bool Tint>
inline void BlendEight16(uint8_t* dst, const uint8_t* src, uint64_t alpha8, uint32_t A, bool copyOpaque,
                         const TLanes16& l) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
  const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
  const __m128i al = _mm_cvtsi64_si128(int64_t(alpha8));
  const __m128i a = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(al, zero), _mm_set1_epi16(short(A))), 8);
  const __m128i ia = _mm_sub_epi16(_mm_set1_epi16(255), a);
  __m128i result = zero;
  for (const TChannel16& c : l.Channels) {
    const __m128i fd = _mm_srl_epi16(_mm_and_si128(d, c.Mask), c.Shift);
    __m128i fv = _mm_srl_epi16(_mm_and_si128(s, c.Mask), c.Shift);
    if (Tint) fv = _mm_add_epi16(c.Key, _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(fv, c.Key), l.Weight), 8));
    const __m128i t = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(ia, fd), _mm_mullo_epi16(a, fv)), 8);
    result = _mm_or_si128(result, _mm_sll_epi16(t, c.Shift));
  }
  // In 16 bits a pixel whose a is 0 stays as it is (s = 0 included).
  const __m128i keep = _mm_cmpeq_epi16(a, zero);
  __m128i out = _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, result));
  if (copyOpaque) {
    __m128i full = _mm_cmpeq_epi8(al, _mm_set1_epi8(char(0xFF)));
    full = _mm_unpacklo_epi8(full, full);
    out = _mm_or_si128(_mm_and_si128(full, s), _mm_andnot_si128(full, out));
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), out);
}

#endif

}  // namespace

void BlendRow32Reference(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, int n, uint8_t globalAlpha,
                         const TTint& tint) {
  for (int i = 0; i < n; ++i) BlendPixel32(dst + 4 * i, src + 4 * i, alpha[i], globalAlpha, tint);
}

void BlendRow16Reference(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, int n, uint8_t globalAlpha,
                         const TTint& tint, const TMasks16& masks) {
  for (int i = 0; i < n; ++i) BlendPixel16(dst + 2 * i, src + 2 * i, alpha[i], globalAlpha, tint, masks);
}

void BlendRows32(uint8_t* dstRow, ptrdiff_t dstPitch, const uint8_t* srcRow, ptrdiff_t srcPitch,
                 const uint8_t* alphaRow, ptrdiff_t alphaPitch, int n, int rows, uint8_t globalAlpha,
                 const TTint& tint) {
  const uint32_t A = globalAlpha;
  const bool copyOpaque = A == 255 && tint.Weight == 0;
#if defined(__SSE2__)
  const bool fast = !tint.Table || tint.Weight == 0;
  TTint32Lanes lanes{};
  const bool tinted = tint.Weight != 0;
  if (tinted) {
    const short c0 = short((tint.Color >> 16) & 0xFF), c1 = short((tint.Color >> 8) & 0xFF),
                c2 = short(tint.Color & 0xFF);
    lanes.Color = _mm_setr_epi16(c0, c1, c2, 0, c0, c1, c2, 0);
    lanes.Weight = _mm_set1_epi16(short(tint.Weight * 2));
  }
#endif
  for (int row = 0; row < rows; ++row, dstRow += dstPitch, srcRow += srcPitch, alphaRow += alphaPitch) {
    uint8_t* dst = dstRow;
    const uint8_t* src = srcRow;
    const uint8_t* alpha = alphaRow;
    int i = 0;
#if defined(__SSE2__)
    // Weight tables are looked up byte by byte; everything else goes four
    // pixels a step, skipping fully transparent groups and copying fully
    // opaque untinted ones.
    if (fast) {
      // Eight pixels a step where the group needs work as a whole, else
      // four at a time.
      for (; i + 8 <= n; i += 8) {
        const uint64_t a8 = Load64(alpha + i);
        if (a8 == 0) continue;
        if (a8 == ~uint64_t(0) && copyOpaque) {
          std::memcpy(dst + 4 * i, src + 4 * i, 32);
          continue;
        }
        const uint32_t lo = uint32_t(a8), hi = uint32_t(a8 >> 32);
        if (lo == 0 || hi == 0 || (copyOpaque && (lo == 0xFFFFFFFFu || hi == 0xFFFFFFFFu))) {
          for (int k = 0; k < 8; k += 4) {
            const uint32_t a4 = k == 0 ? lo : hi;
            if (a4 == 0) continue;
            if (a4 == 0xFFFFFFFFu && copyOpaque)
              std::memcpy(dst + 4 * (i + k), src + 4 * (i + k), 16);
            else if (tinted)
              BlendFour32<true>(dst + 4 * (i + k), src + 4 * (i + k), a4, A, false, lanes);
            else
              BlendFour32<false>(dst + 4 * (i + k), src + 4 * (i + k), a4, A, copyOpaque, lanes);
          }
        } else if (tinted) {
          BlendEight32<true>(dst + 4 * i, src + 4 * i, a8, A, false, lanes);
        } else {
          BlendEight32<false>(dst + 4 * i, src + 4 * i, a8, A, copyOpaque, lanes);
        }
      }
      for (; i + 4 <= n; i += 4) {
        const uint32_t a4 = Load32(alpha + i);
        if (a4 == 0) continue;
        if (a4 == 0xFFFFFFFFu && copyOpaque)
          std::memcpy(dst + 4 * i, src + 4 * i, 16);
        else if (tinted)
          BlendFour32<true>(dst + 4 * i, src + 4 * i, a4, A, false, lanes);
        else
          BlendFour32<false>(dst + 4 * i, src + 4 * i, a4, A, copyOpaque, lanes);
      }
    }
#else
    (void)copyOpaque;
#endif
    for (; i < n; ++i) BlendPixel32(dst + 4 * i, src + 4 * i, alpha[i], A, tint);
  }
}

void BlendRow32(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, int n, uint8_t globalAlpha, const TTint& tint) {
  BlendRows32(dst, 0, src, 0, alpha, 0, n, 1, globalAlpha, tint);
}

void BlendRows16(uint8_t* dstRow, ptrdiff_t dstPitch, const uint8_t* srcRow, ptrdiff_t srcPitch,
                 const uint8_t* alphaRow, ptrdiff_t alphaPitch, int n, int rows, uint8_t globalAlpha, const TTint& tint,
                 const TMasks16& m) {
  const uint32_t A = globalAlpha;
#if defined(__SSE2__)
  // Weight 255 leaves the source as it is in 16 bits.
  const bool tinted = tint.Weight != 0 && tint.Weight != 255;
  const bool copyOpaque = A == 255 && tint.Weight == 0;
  TLanes16 lanes{};
  const uint32_t masks[3] = {m.R, m.G, m.B};
  for (int c = 0; c < 3; ++c) {
    const int shift = masks[c] ? std::countr_zero(masks[c]) : 0;
    lanes.Channels[c].Mask = _mm_set1_epi16(short(masks[c]));
    lanes.Channels[c].Shift = _mm_cvtsi32_si128(shift);
    lanes.Channels[c].Key = _mm_set1_epi16(short((tint.Color16 & masks[c]) >> shift));
  }
  lanes.Weight = _mm_set1_epi16(short(tint.Weight));
#endif
  for (int row = 0; row < rows; ++row, dstRow += dstPitch, srcRow += srcPitch, alphaRow += alphaPitch) {
    uint8_t* dst = dstRow;
    const uint8_t* src = srcRow;
    const uint8_t* alpha = alphaRow;
    int i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= n; i += 8) {
      const uint64_t a8 = Load64(alpha + i);
      if (a8 == 0) continue;
      if (a8 == ~uint64_t(0) && copyOpaque) {
        std::memcpy(dst + 2 * i, src + 2 * i, 16);
        continue;
      }
      if (tinted)
        BlendEight16<true>(dst + 2 * i, src + 2 * i, a8, A, false, lanes);
      else
        BlendEight16<false>(dst + 2 * i, src + 2 * i, a8, A, copyOpaque, lanes);
    }
#endif
    for (; i < n; ++i) BlendPixel16(dst + 2 * i, src + 2 * i, alpha[i], A, tint, m);
  }
}

void BlendRow16(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, int n, uint8_t globalAlpha, const TTint& tint,
                const TMasks16& masks) {
  BlendRows16(dst, 0, src, 0, alpha, 0, n, 1, globalAlpha, tint, masks);
}

}  // namespace qv
