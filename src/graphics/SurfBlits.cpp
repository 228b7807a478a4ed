// The pixel operations of the surface engine. Their integer rules (shifts by
// 8, i.e. division by 256, the floor of a signed product in the 32-bit tint,
// the work under the channel masks in 16 bits) are kept bit for bit: the
// pictures of the game were tuned against them.
#include <algorithm>
#include <cstring>

#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "graphics/BlendKernels.h"
#include "graphics/SurfEngine.h"

namespace qv {

namespace {

// An inclusive source rectangle placed with its top-left corner at (X, Y) of
// a target, clipped to the source and the target without changing which
// source pixel lands on which target pixel.
struct TPlacement {
  int64_t X = 0, Y = 0, Left = 0, Top = 0, Right = -1, Bottom = -1;
  int Columns() const { return int(Right - Left + 1); }
};

bool Place(int64_t x, int64_t y, TRect r, int srcW, int srcH, int tgtW, int tgtH, TPlacement& p) {
  int64_t l = r.Left, t = r.Top, rr = r.Right, b = r.Bottom;
  if (l < 0) { x -= l; l = 0; }
  if (t < 0) { y -= t; t = 0; }
  rr = std::min<int64_t>(rr, srcW - 1);
  b = std::min<int64_t>(b, srcH - 1);
  if (x < 0) { l -= x; x = 0; }
  if (y < 0) { t -= y; y = 0; }
  rr = std::min<int64_t>(rr, l + (tgtW - 1 - x));
  b = std::min<int64_t>(b, t + (tgtH - 1 - y));
  p = TPlacement{x, y, l, t, rr, b};
  return l <= rr && t <= b;
}

TRect WholeOf(const TSurface& s) { return TRect{0, 0, s.Width - 1, s.Height - 1}; }

bool PixelFormatSupported(const TSurfEngine& e, const TSurface& a, const TSurface& b) {
  const uint32_t bits = e.PixelFormat.BitCount;
  return (bits == 16 || bits == 32) && a.Surface->Format().BitCount == bits && b.Surface->Format().BitCount == bits;
}

TMasks16 MasksOf(const TSurfEngine& e) {
  return TMasks16{e.PixelFormat.RMask & 0xFFFF, e.PixelFormat.GMask & 0xFFFF, e.PixelFormat.BMask & 0xFFFF};
}

}  // namespace

// ---------------------------------------------------------------- blits

void TSurfEngine::DrawWithAlphaChannel(std::string_view source, std::string_view target, int32_t x, int32_t y,
                                       uint8_t alpha, const TInclusiveRect* sourceRect, uint32_t color,
                                       uint8_t colorWeight, const TWeightTable* weightTable) {
  TSurface* src = Drawable(source);
  if (!src) return;
  if (!src->HasAlpha()) {
    // The opaque copy takes exclusive right and bottom edges.
    TRect r;
    if (sourceRect) r = TRect{sourceRect->Left, sourceRect->Top, sourceRect->Right + 1, sourceRect->Bottom + 1};
    DrawSurface(source, target, x, y, sourceRect ? &r : nullptr, 0);
    return;
  }
  try {
    TSurface* dst = Drawable(target);
    if (!dst || !PixelFormatSupported(*this, *src, *dst)) return;
    TPlacement p;
    if (!Place(x, y, sourceRect ? *sourceRect : WholeOf(*src), src->Width, src->Height, dst->Width, dst->Height, p))
      return;
    TDisplaySurface& s = *src->Surface;
    TDisplaySurface& d = *dst->Surface;
    const uint8_t* sBits = s.Lock();
    s.Unlock();
    uint8_t* dBits = d.Lock();
    const TTint tint{color, colorWeight, weightTable, Color16(color)};
    const size_t bpp = PixelFormat.BitCount / 8;
    uint8_t* out = dBits + size_t(p.Y) * size_t(d.Pitch()) + size_t(p.X) * bpp;
    const uint8_t* in = sBits + size_t(p.Top) * size_t(s.Pitch()) + size_t(p.Left) * bpp;
    const uint8_t* a = src->AlphaBuffer.data() + size_t(p.Top) * size_t(src->Width) + size_t(p.Left);
    const int rows = int(p.Bottom - p.Top + 1);
    if (PixelFormat.BitCount == 32)
      BlendRows32(out, d.Pitch(), in, s.Pitch(), a, src->Width, p.Columns(), rows, alpha, tint);
    else
      BlendRows16(out, d.Pitch(), in, s.Pitch(), a, src->Width, p.Columns(), rows, alpha, tint, MasksOf(*this));
    d.Unlock();
  } catch (const std::exception&) {
    throw QelException("Exception Error in TSurfEngine.DrawWithAlphaChannel.  naSource: " + std::string(source) +
                       " naDest: " + std::string(target) + " x: " + std::to_string(x) + " y: " + std::to_string(y));
  }
}

void TSurfEngine::DrawFontChars(std::string_view fontPicture, std::string_view target, int count,
                                const TCharsRects& chars) {
  TSurface* src = Drawable(fontPicture);
  TSurface* dst = Drawable(target);
  if (!src || !dst || !src->HasAlpha() || !PixelFormatSupported(*this, *src, *dst)) return;
  TDisplaySurface& s = *src->Surface;
  TDisplaySurface& d = *dst->Surface;
  const uint8_t* sBits = s.Lock();
  s.Unlock();
  uint8_t* dBits = d.Lock();
  const TMasks16 masks = MasksOf(*this);
  // Nothing is drawn at or below the screen's height, whatever the target's.
  const int rowLimit = std::min(dst->Height, Height);
  const int glyphs = std::clamp(count, 0, int(chars.size()));
  for (int g = 0; g < glyphs; ++g) {
    const TCharRect& c = chars[size_t(g)];
    // The bottom row of a glyph rectangle is not drawn.
    const TRect r{c.Left, c.Top, c.Right, c.Bottom - 1};
    TPlacement p;
    if (!Place(c.X, c.Y, r, src->Width, src->Height, dst->Width, rowLimit, p)) continue;
    const TTint tint{c.Color, 1, nullptr, Color16(c.Color)};
    const size_t bpp = PixelFormat.BitCount / 8;
    uint8_t* out = dBits + size_t(p.Y) * size_t(d.Pitch()) + size_t(p.X) * bpp;
    const uint8_t* in = sBits + size_t(p.Top) * size_t(s.Pitch()) + size_t(p.Left) * bpp;
    const uint8_t* a = src->AlphaBuffer.data() + size_t(p.Top) * size_t(src->Width) + size_t(p.Left);
    const int rows = int(p.Bottom - p.Top + 1);
    if (PixelFormat.BitCount == 32)
      BlendRows32(out, d.Pitch(), in, s.Pitch(), a, src->Width, p.Columns(), rows, c.Alpha, tint);
    else
      BlendRows16(out, d.Pitch(), in, s.Pitch(), a, src->Width, p.Columns(), rows, c.Alpha, tint, masks);
  }
  d.Unlock();
}

void TSurfEngine::DrawWithAlphaRamp(std::string_view source, std::string_view target, int32_t x, int32_t y,
                                    const TInclusiveRect* sourceRect, uint32_t color, int32_t low, int32_t peak,
                                    int32_t high, int32_t peakValue) {
  TSurface* src = Drawable(source);
  if (!src || !src->HasAlpha()) return;
  TSurface* dst = Drawable(target);
  if (!dst || !PixelFormatSupported(*this, *src, *dst)) return;
  uint8_t ramp[256];
  for (int i = 0; i < 256; ++i) {
    double v = 0;
    if (i >= low && i <= peak) {
      // A ramp whose low end is its peak rises as a step there.
      v = peak == low ? double(peakValue) : double(peakValue) * (i - low) / double(peak - low);
    } else if (i > peak && i <= high) {
      v = double(peakValue) * (high - i) / double(high - peak);
    }
    ramp[i] = uint8_t(uint32_t(Round(v)) & 0xFF);
  }
  TPlacement p;
  if (!Place(x, y, sourceRect ? *sourceRect : WholeOf(*src), src->Width, src->Height, dst->Width, dst->Height, p))
    return;
  TDisplaySurface& d = *dst->Surface;
  uint8_t* dBits = d.Lock();
  const TMasks16 masks = MasksOf(*this);
  const uint32_t c16 = Color16(color);
  const uint32_t red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
  const uint32_t byte0 = RShift < GShift ? red : blue;
  const uint32_t byte2 = RShift < GShift ? blue : red;
  for (int64_t row = p.Top; row <= p.Bottom; ++row) {
    const uint8_t* a = src->AlphaBuffer.data() + size_t(row) * size_t(src->Width) + size_t(p.Left);
    uint8_t* out = dBits + size_t(p.Y + row - p.Top) * size_t(d.Pitch());
    for (int i = 0; i < p.Columns(); ++i) {
      const uint32_t r = ramp[a[i]];
      if (r == 0) continue;
      if (PixelFormat.BitCount == 32) {
        uint8_t* o = out + size_t(p.X + i) * 4;
        o[0] = uint8_t((byte0 * r + (255 - r) * o[0]) >> 8);
        o[1] = uint8_t((green * r + (255 - r) * o[1]) >> 8);
        o[2] = uint8_t((byte2 * r + (255 - r) * o[2]) >> 8);
      } else {
        uint8_t* o = out + size_t(p.X + i) * 2;
        uint16_t dv;
        std::memcpy(&dv, o, 2);
        uint32_t result = 0;
        for (uint32_t m : {masks.R, masks.G, masks.B})
          result += ((((255 - r) * (dv & m)) + r * (c16 & m)) >> 8) & m;
        const uint16_t v = uint16_t(result);
        std::memcpy(o, &v, 2);
      }
    }
  }
  d.Unlock();
}

void TSurfEngine::BlendRect(std::string_view target, const TRect& rect, uint32_t color, uint8_t alpha) {
  TSurface* dst = Drawable(target);
  if (!dst) return;
  const uint32_t bits = PixelFormat.BitCount;
  if ((bits != 16 && bits != 32) || dst->Surface->Format().BitCount != bits) return;
  const int left = std::max(rect.Left, 0), top = std::max(rect.Top, 0);
  const int right = std::min(rect.Right, dst->Width), bottom = std::min(rect.Bottom, dst->Height);
  if (right <= left || bottom <= top) return;
  TDisplaySurface& d = *dst->Surface;
  uint8_t* dBits = d.Lock();
  const uint32_t a = alpha, ia = 255 - alpha;
  const uint32_t red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
  const TMasks16 masks = MasksOf(*this);
  const uint32_t c16 = Color16(color);
  for (int y = top; y < bottom; ++y) {
    uint8_t* out = dBits + size_t(y) * size_t(d.Pitch());
    for (int x = left; x < right; ++x) {
      if (bits == 32) {
        uint8_t* o = out + size_t(x) * 4;
        o[0] = uint8_t((blue * a + ia * o[0]) >> 8);
        o[1] = uint8_t((green * a + ia * o[1]) >> 8);
        o[2] = uint8_t((red * a + ia * o[2]) >> 8);
      } else {
        uint8_t* o = out + size_t(x) * 2;
        uint16_t dv;
        std::memcpy(&dv, o, 2);
        uint32_t result = 0;
        for (uint32_t m : {masks.R, masks.G, masks.B}) result += (((c16 & m) * a + ia * (dv & m)) >> 8) & m;
        const uint16_t v = uint16_t(result);
        std::memcpy(o, &v, 2);
      }
    }
  }
  d.Unlock();
}

// ---------------------------------------------------------------- alpha buffers

namespace {

template <typename Op>
void ForAlphaPairs(TSurfEngine& e, std::string_view source, std::string_view target, int32_t x, int32_t y,
                   const TInclusiveRect* sourceRect, Op op) {
  TSurface* src = e.Find(source);
  if (!src || !src->HasAlpha() || src->AlphaBuffer.size() < size_t(src->Width) * size_t(src->Height)) return;
  if (!e.Find(target)) return;
  e.CreateAlphaBuffer(target, 0);
  src = e.Find(source);
  TSurface* dst = e.Find(target);
  if (dst->AlphaBuffer.size() < size_t(dst->Width) * size_t(dst->Height)) return;
  TPlacement p;
  if (!Place(x, y, sourceRect ? *sourceRect : WholeOf(*src), src->Width, src->Height, dst->Width, dst->Height, p))
    return;
  for (int64_t row = p.Top; row <= p.Bottom; ++row) {
    const uint8_t* s = src->AlphaBuffer.data() + size_t(row) * size_t(src->Width) + size_t(p.Left);
    uint8_t* d = dst->AlphaBuffer.data() + size_t(p.Y + row - p.Top) * size_t(dst->Width) + size_t(p.X);
    for (int i = 0; i < p.Columns(); ++i) d[i] = op(s[i], d[i]);
  }
}

}  // namespace

void TSurfEngine::MultiplyAlpha(std::string_view source, std::string_view target, int32_t x, int32_t y,
                                const TInclusiveRect* sourceRect) {
  ForAlphaPairs(*this, source, target, x, y, sourceRect, [](uint32_t s, uint32_t d) -> uint8_t {
    if (d == 255 && s == 255) return 255;
    return uint8_t((d * s) >> 8);
  });
}

void TSurfEngine::CombineAlpha(std::string_view source, std::string_view target, int32_t x, int32_t y,
                               const TInclusiveRect* sourceRect, uint8_t factor) {
  // Even s = 0 on d = 0 gives 1: the shift by 8 never quite reaches 255.
  ForAlphaPairs(*this, source, target, x, y, sourceRect, [factor](uint32_t s, uint32_t d) -> uint8_t {
    if (d == 255) return 255;
    return uint8_t(255 - (((255 - ((s * factor) >> 8)) * (255 - d)) >> 8));
  });
}

namespace {

// The pixels of an inclusive rectangle of a source (whole when null) whose
// alpha goes to the same position of the target's buffer, indexed with the
// source's width as the callers pass one picture as both. Returns false when
// there is nothing to do.
bool AlphaFromPixelsArea(TSurfEngine& e, std::string_view source, std::string_view target, const TInclusiveRect* rect,
                         TSurface*& src, TSurface*& dst, TRect& area) {
  src = nullptr;
  dst = nullptr;
  TSurface* s = e.Find(source);
  if (!s || !s->Surface || !e.Find(target)) return false;
  if (s->Width <= 0 || s->Height <= 0 || s->Width > s->Surface->Width() || s->Height > s->Surface->Height())
    return false;
  e.CreateAlphaBuffer(target, 0);
  src = e.Find(source);
  dst = e.Find(target);
  const uint32_t bits = e.PixelFormat.BitCount;
  if ((bits != 16 && bits != 32) || src->Surface->Format().BitCount != bits) return false;
  const TRect r = rect ? *rect : WholeOf(*src);
  area = TRect{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, src->Width - 1),
               std::min(r.Bottom, src->Height - 1)};
  return area.Left <= area.Right && area.Top <= area.Bottom;
}

uint32_t RawPixel(const TSurface& s, int x, int y, uint32_t bits) {
  const uint8_t* p = s.Surface->Row(y) + size_t(x) * (bits / 8);
  if (bits == 16) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
  }
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

}  // namespace

void TSurfEngine::ChannelToAlpha(std::string_view source, std::string_view target, const TInclusiveRect* rect,
                                 uint8_t channel) {
  TSurface *src, *dst;
  TRect area;
  if (!AlphaFromPixelsArea(*this, source, target, rect, src, dst, area)) return;
  const uint32_t bits = PixelFormat.BitCount;
  if (bits == 32 && channel > 3) return;  // there are four bytes to a pixel
  const size_t limit = dst->AlphaBuffer.size();
  for (int y = area.Top; y <= area.Bottom; ++y)
    for (int x = area.Left; x <= area.Right; ++x) {
      const size_t index = size_t(y) * size_t(src->Width) + size_t(x);
      if (index >= limit) return;
      const uint32_t p = RawPixel(*src, x, y, bits);
      dst->AlphaBuffer[index] = bits == 32 ? uint8_t(p >> (8 * channel))
                                           : uint8_t(((p & PixelFormat.RMask) >> RShift) << (8 - RBits));
    }
}

void TSurfEngine::ColorSetToAlpha(std::string_view source, std::string_view target, const TPoints& points,
                                  const TInclusiveRect* rect, uint8_t value) {
  TSurface *src, *dst;
  TRect area;
  if (!AlphaFromPixelsArea(*this, source, target, rect, src, dst, area)) return;
  const uint32_t bits = PixelFormat.BitCount;
  TIntegers keys;
  for (const TPoint& pt : points)
    if (pt.X >= 0 && pt.Y >= 0 && pt.X < src->Width && pt.Y < src->Height)
      keys.push_back(int32_t(RawPixel(*src, pt.X, pt.Y, bits)));
  const size_t limit = dst->AlphaBuffer.size();
  for (int y = area.Top; y <= area.Bottom; ++y)
    for (int x = area.Left; x <= area.Right; ++x) {
      const size_t index = size_t(y) * size_t(src->Width) + size_t(x);
      if (index >= limit) return;
      const int32_t p = int32_t(RawPixel(*src, x, y, bits));
      dst->AlphaBuffer[index] = std::find(keys.begin(), keys.end(), p) != keys.end() ? value : 0;
    }
}

void TSurfEngine::ColorKeyToAlpha(std::string_view source, std::string_view target, TPoint point,
                                  const TInclusiveRect* rect, uint8_t value, TRect& bounds) {
  bounds = TRect{1000, 1000, -1000, -1000};
  TSurface *src, *dst;
  TRect area;
  if (!AlphaFromPixelsArea(*this, source, target, rect, src, dst, area)) return;
  const uint32_t bits = PixelFormat.BitCount;
  const bool hasKey = point.X >= 0 && point.Y >= 0 && point.X < src->Width && point.Y < src->Height;
  const uint32_t key = hasKey ? RawPixel(*src, point.X, point.Y, bits) : 0;
  const size_t limit = dst->AlphaBuffer.size();
  for (int y = area.Top; y <= area.Bottom; ++y)
    for (int x = area.Left; x <= area.Right; ++x) {
      const size_t index = size_t(y) * size_t(src->Width) + size_t(x);
      if (index >= limit) return;
      const bool match = hasKey && RawPixel(*src, x, y, bits) == key;
      dst->AlphaBuffer[index] = match ? value : 0;
      if (match) {
        bounds.Left = std::min(bounds.Left, x);
        bounds.Top = std::min(bounds.Top, y);
        bounds.Right = std::max(bounds.Right, x);
        bounds.Bottom = std::max(bounds.Bottom, y);
      }
    }
}

// ---------------------------------------------------------------- bump maps
// No bump map is ever made, so these find nothing and draw nothing.

int TSurfEngine::IndexOfBump(std::string_view name) const {
  for (size_t i = 0; i < Bumps.size(); ++i)
    if (Bumps[i].Name == name) return int(i);
  return -1;
}

void TSurfEngine::DrawBump(std::string_view, std::string_view, int32_t, int32_t, const TInclusiveRect*) {}

void TSurfEngine::FillBump(std::string_view, int8_t, int8_t, const TInclusiveRect*) {}

void TSurfEngine::ClearBumpUnderAlpha(std::string_view, std::string_view, const TInclusiveRect*) {}

}  // namespace qv
