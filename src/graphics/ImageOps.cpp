#include "graphics/ImageOps.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "foundation/Numeric.h"
#include "foundation/QelException.h"

namespace qv {

namespace {

inline uint8_t ClampTrunc(double v) {
  if (v < 0) return 0;
  if (v > 255) return 255;
  return uint8_t(Trunc(v));
}

inline uint8_t ClampInt(int64_t v) { return uint8_t(std::clamp<int64_t>(v, 0, 255)); }

// Bilinear sample at (sx, sy), which lies inside the picture. A neighbour
// beyond the last column or row is its left or upper neighbour. Byte 0 is
// rounded, the others and the alpha are truncated, as pictures made by the
// first release expect.
void Sample(const TPngImage& src, double sx, double sy, uint8_t* outPixel, uint8_t* outAlpha) {
  int x0 = std::clamp(Trunc(sx), 0, src.Width - 1);
  int y0 = std::clamp(Trunc(sy), 0, src.Height - 1);
  double fx = sx - x0;
  double fy = sy - y0;
  int x1 = x0 + 1 > src.Width - 1 ? x0 : x0 + 1;
  int y1 = y0 + 1 > src.Height - 1 ? y0 : y0 + 1;
  const uint8_t* r0 = src.Row(y0);
  const uint8_t* r1 = src.Row(y1);
  auto lerp = [&](double p00, double p01, double p10, double p11) {
    double m = p00 + (p01 - p00) * fy;
    double o = p10 + (p11 - p10) * fy;
    return m + (o - m) * fx;
  };
  for (int c = 0; c < 3; ++c) {
    double v = lerp(r0[x0 * 3 + c], r1[x0 * 3 + c], r0[x1 * 3 + c], r1[x1 * 3 + c]);
    outPixel[c] = c == 0 ? ClampInt(Round(v)) : ClampTrunc(v);
  }
  if (outAlpha) {
    const uint8_t* a0 = src.AlphaRow(y0);
    const uint8_t* a1 = src.AlphaRow(y1);
    *outAlpha = ClampTrunc(lerp(a0[x0], a1[x0], a0[x1], a1[x1]));
  }
}

TPngImage SameKind(const TPngImage& src, int width, int height) {
  TPngImage out;
  out.Resize(width, height);
  out.ColorType = src.HasAlpha() ? kPngRGBAlpha : kPngRGB;
  if (src.HasAlpha()) out.Alpha.assign(size_t(width) * size_t(height), 0);
  return out;
}

// The source range that DrawImage and MergeAlpha walk: the inclusive source
// rectangle limited to the source picture and to what lands on the canvas.
struct TSpan {
  int64_t Lo, Hi;
};
TSpan DrawSpan(int64_t srcLo, int64_t srcHi, int64_t srcSize, int64_t canvasPos, int64_t canvasSize) {
  // Canvas coordinate of source index s is canvasPos + s - srcLo.
  int64_t lo = std::max<int64_t>({srcLo, 0, srcLo - canvasPos});
  int64_t hi = std::min<int64_t>({srcHi, srcSize - 1, canvasSize - 1 - canvasPos + srcLo});
  return {lo, hi};
}

struct TBucket {
  std::vector<int> Index;
  std::vector<int> Weight;
};

// Source positions whose rounded scaled position is each output position,
// with their weights (the distance of the scaled position from its rounding,
// in hundredths; a weight of 0 counts as zeroWeight). An output position onto
// which no source position falls takes the nearest source position.
std::vector<TBucket> Buckets(int srcSize, int outSize, double factor, int zeroWeight) {
  std::vector<TBucket> buckets(static_cast<size_t>(outSize));
  for (int s = 0; s < srcSize; ++s) {
    double p = s * factor;
    int target = Round(p);
    if (target < 0 || target >= outSize) continue;
    int w = Round(std::fabs(p - target) * 100);
    buckets[size_t(target)].Index.push_back(s);
    buckets[size_t(target)].Weight.push_back(w == 0 ? zeroWeight : w);
  }
  for (int t = 0; t < outSize; ++t) {
    TBucket& b = buckets[size_t(t)];
    if (!b.Index.empty()) continue;
    b.Index.push_back(std::clamp(Trunc(t / factor), 0, srcSize - 1));
    b.Weight.push_back(zeroWeight);
  }
  return buckets;
}

TPngImage ScaleUp(const TPngImage& src, int width, int height, double fx, double fy) {
  TPngImage out = SameKind(src, width, height);
  for (int i = 0; i < height; ++i) {
    uint8_t* row = out.Row(i);
    uint8_t* alpha = out.HasAlpha() ? out.AlphaRow(i) : nullptr;
    for (int j = 0; j < width; ++j)
      Sample(src, j / fx, i / fy, row + j * 3, alpha ? alpha + j : nullptr);
  }
  return out;
}

TPngImage ScaleDown(const TPngImage& src, int width, int height, double fx, double fy) {
  TPngImage out = SameKind(src, width, height);
  std::vector<TBucket> cols = Buckets(src.Width, width, fx, 100);
  std::vector<TBucket> rows = Buckets(src.Height, height, fy, 1);
  const bool alpha = src.HasAlpha();
  for (int i = 0; i < height; ++i) {
    const TBucket& rb = rows[size_t(i)];
    // The last output row takes only its first source row.
    size_t rowCount = i == height - 1 ? 1 : rb.Index.size();
    for (int j = 0; j < width; ++j) {
      const TBucket& cb = cols[size_t(j)];
      int64_t pixelSum[4] = {0, 0, 0, 0};
      int64_t rowWeights = 0;
      for (size_t r = 0; r < rowCount; ++r) {
        int k = rb.Index[r];
        const uint8_t* srow = src.Row(k);
        const uint8_t* arow = alpha ? src.AlphaRow(k) : nullptr;
        int64_t sum[4] = {0, 0, 0, 0};
        int64_t total = 0;
        for (size_t c = 0; c < cb.Index.size(); ++c) {
          int m = cb.Index[c];
          int w = cb.Weight[c];
          for (int b = 0; b < 3; ++b) sum[b] += int64_t(w) * srow[m * 3 + b];
          sum[3] += arow ? int64_t(w) * arow[m] : 0;
          total += w;
        }
        int rw = rb.Weight[r];
        for (int b = 0; b < 4; ++b) pixelSum[b] += int64_t(rw) * Round(double(sum[b]) / double(total));
        rowWeights += rw;
      }
      for (int b = 0; b < 3; ++b) out.Row(i)[j * 3 + b] = ClampInt(Round(double(pixelSum[b]) / double(rowWeights)));
      if (alpha) out.AlphaRow(i)[j] = ClampInt(Round(double(pixelSum[3]) / double(rowWeights)));
    }
  }
  return out;
}

}  // namespace

void CheckImageSize(int width, int height) {
  if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide ||
      int64_t(width) * int64_t(height) > kMaxPicturePixels)
    throw Exception("Invalid picture size " + IntToStr(width) + " x " + IntToStr(height) + "!");
}

TPngImage BlankImage(int width, int height) {
  CheckImageSize(width, height);
  TPngImage img;
  img.Resize(width, height);
  img.ColorType = kPngRGB;
  return img;
}

void NormalizeImage(TPngImage& image) {
  image.ColorType = image.HasAlpha() ? kPngRGBAlpha : kPngRGB;
  image.BitDepth = 8;
  image.Interlaced = false;
}

void AddAlphaChannel(TPngImage& image, uint8_t value) {
  if (image.HasAlpha()) return;
  image.Alpha.assign(size_t(image.Width) * size_t(image.Height), value);
  image.ColorType = kPngRGBAlpha;
}

void DrawImage(TPngImage& canvas, const TPngImage& source, const TImageDraw& d, bool first) {
  if (!source.HasAlpha() || canvas.Empty()) return;
  TSpan rows = DrawSpan(d.Source.Top, d.Source.Bottom, source.Height, d.Top, canvas.Height);
  TSpan cols = DrawSpan(d.Source.Left, d.Source.Right, source.Width, d.Left, canvas.Width);
  const int64_t alfa = d.Alfa;
  const int64_t tint = d.ColorValue;
  for (int64_t row = rows.Lo; row <= rows.Hi; ++row) {
    const uint8_t* srow = source.Row(int(row));
    const uint8_t* arow = source.AlphaRow(int(row));
    uint8_t* crow = canvas.Row(int(d.Top + row - d.Source.Top));
    for (int64_t col = cols.Lo; col <= cols.Hi; ++col) {
      const int64_t f = arow[col];
      if (f == 0) continue;
      const uint8_t* s = srow + col * 3;
      uint8_t* t = crow + (d.Left + col - d.Source.Left) * 3;
      if (f == 255 && alfa == 255 && tint == 0) {
        t[0] = s[0];
        t[1] = s[1];
        t[2] = s[2];
        continue;
      }
      const int64_t h = (alfa * f) >> 8;
      for (int b = 0; b < 3; ++b) {
        const int64_t x = s[b];
        const int64_t k = d.Color[b];
        int64_t v = tint == 0 ? x : ((k + ((tint * (x - k)) >> 8)) & 0xFF);
        t[b] = first ? uint8_t(v) : uint8_t((((255 - h) * t[b] + h * v) >> 8) & 0xFF);
      }
    }
  }
}

void MergeAlpha(TPngImage& canvas, const TPngImage& source, const TImageDraw& d, bool first) {
  if (canvas.Empty()) return;
  if (first) {
    canvas.Alpha.assign(size_t(canvas.Width) * size_t(canvas.Height), 0);
    canvas.ColorType = kPngRGBAlpha;
  }
  if (!canvas.HasAlpha() || !source.HasAlpha()) return;
  TSpan rows = DrawSpan(d.Source.Top, d.Source.Bottom, source.Height, d.Top, canvas.Height);
  TSpan cols = DrawSpan(d.Source.Left, d.Source.Right, source.Width, d.Left, canvas.Width);
  const int64_t alfa = d.Alfa;
  for (int64_t row = rows.Lo; row <= rows.Hi; ++row) {
    const uint8_t* arow = source.AlphaRow(int(row));
    uint8_t* crow = canvas.AlphaRow(int(d.Top + row - d.Source.Top));
    for (int64_t col = cols.Lo; col <= cols.Hi; ++col) {
      int64_t s = arow[col];
      if (alfa != 255) s = (s * alfa) >> 8;
      uint8_t& c = crow[d.Left + col - d.Source.Left];
      if (s != 0 || c != 0)
        c = uint8_t((255 - (((255 - int64_t(c)) * (255 - s)) >> 8)) & 0xFF);
      else
        c = 0;
    }
  }
}

void FlipRows(TPngImage& image) {
  for (int i = 0, j = image.Height - 1; i < j; ++i, --j) {
    std::swap_ranges(image.Row(i), image.Row(i) + size_t(image.Width) * 3, image.Row(j));
    if (image.HasAlpha()) std::swap_ranges(image.AlphaRow(i), image.AlphaRow(i) + image.Width, image.AlphaRow(j));
  }
}

void FlipColumns(TPngImage& image) {
  for (int y = 0; y < image.Height; ++y) {
    uint8_t* row = image.Row(y);
    uint8_t* alpha = image.HasAlpha() ? image.AlphaRow(y) : nullptr;
    for (int i = 0, j = image.Width - 1; i < j; ++i, --j) {
      std::swap_ranges(row + i * 3, row + i * 3 + 3, row + j * 3);
      if (alpha) std::swap(alpha[i], alpha[j]);
    }
  }
}

TPngImage Crop(const TPngImage& image, const TRect& r) {
  TPngImage out;
  out.Resize(r.Width(), r.Height());
  out.ColorType = kPngRGBAlpha;
  out.Alpha.assign(size_t(r.Width()) * size_t(r.Height()), 255);
  for (int y = r.Top; y < r.Bottom; ++y) {
    std::copy_n(image.Row(y) + size_t(r.Left) * 3, size_t(r.Width()) * 3, out.Row(y - r.Top));
    if (image.HasAlpha()) std::copy_n(image.AlphaRow(y) + r.Left, r.Width(), out.AlphaRow(y - r.Top));
  }
  return out;
}

void HueChangePixel(uint8_t& r8, uint8_t& g8, uint8_t& b8, int hue, int saturation, int lightness) {
  const int r = r8, g = g8, b = b8;
  const int mx = std::max({r, g, b});
  const int mn = std::min({r, g, b});
  int64_t L = Round(((mx + mn) * 240.0 + 255) / 510);
  int64_t S, H;
  if (mx == mn) {
    S = 0;
    H = 160;
  } else {
    if (L <= 120)
      S = Round(((mx - mn) * 240.0 + (mx + mn) / 2.0) / (mx + mn));
    else
      S = Round(((mx - mn) * 240.0 + (510.0 - mx - mn) / 2) / (510.0 - mx - mn));
    const double span = mx - mn;
    const float dR = float(((mx - r) * 40.0 + span / 2) / span);
    const float dG = float(((mx - g) * 40.0 + span / 2) / span);
    const float dB = float(((mx - b) * 40.0 + span / 2) / span);
    if (r == mx)
      H = Round(double(dB) - double(dG));
    else if (g == mx)
      H = Round(80.0 + dR - dB);
    else
      H = Round(160.0 + dG - dR);
    if (H < 0)
      H += 240;
    else if (H > 240)
      H -= 240;
  }
  S = std::clamp<int64_t>(S, 0, 240);
  L = std::clamp<int64_t>(L, 0, 240);
  H += hue;
  L += lightness;
  S += saturation;
  int64_t outR, outG, outB;
  if (S == 0) {
    outR = outG = outB = Round64(double(L) * 255 / 240);
  } else {
    const double l = double(L), s = double(S);
    const float m2 = float(L <= 120 ? (l * (s + 240) + 120) / 240 : l + s - (l * s + 120) / 240);
    const float m1 = float(2 * l - m2);
    auto f = [m1, m2](int64_t t) -> double {
      if (t < 0)
        t += 240;
      else if (t > 240)
        t -= 240;
      const double d1 = m1, d2 = m2, tt = double(t);
      if (t < 40) return d1 + ((d2 - d1) * tt + 20) / 40;
      if (t < 120) return d2;
      if (t < 160) return d1 + ((d2 - d1) * (160 - tt) + 20) / 40;
      return d1;
    };
    outR = Round64((f(H + 80) * 255 + 120) / 240);
    outG = Round64((f(H) * 255 + 120) / 240);
    outB = Round64((f(H - 80) * 255 + 120) / 240);
  }
  r8 = ClampInt(outR);
  g8 = ClampInt(outG);
  b8 = ClampInt(outB);
}

void HueChange(TPngImage& image, int hue, int saturation, int lightness) {
  for (int y = 0; y < image.Height; ++y) {
    uint8_t* p = image.Row(y);
    for (int x = 0; x < image.Width; ++x, p += 3) HueChangePixel(p[0], p[1], p[2], hue, saturation, lightness);
  }
}

TPngImage Rotate(const TPngImage& image, double angle, double cx, double cy) {
  TPngImage out = SameKind(image, image.Width, image.Height);
  const double c = std::cos(angle), s = std::sin(angle);
  const double maxX = image.Width - 1, maxY = image.Height - 1;
  for (int i = 0; i < image.Height; ++i) {
    uint8_t* row = out.Row(i);
    uint8_t* alpha = out.HasAlpha() ? out.AlphaRow(i) : nullptr;
    for (int j = 0; j < image.Width; ++j) {
      const double sx = c * (j - cx) - s * (i - cy) + cx;
      const double sy = s * (j - cx) + c * (i - cy) + cy;
      if (!(sx >= 0 && sx <= maxX && sy >= 0 && sy <= maxY)) continue;  // stays black and transparent
      Sample(image, sx, sy, row + j * 3, alpha ? alpha + j : nullptr);
    }
  }
  return out;
}

TPngImage Scale(const TPngImage& image, int width, int height) {
  CheckImageSize(width, height);
  const double fx = double(width) / image.Width;
  const double fy = double(height) / image.Height;
  if (fx >= 1 && fy >= 1) return ScaleUp(image, width, height, fx, fy);
  return ScaleDown(image, width, height, fx, fy);
}

}  // namespace qv
