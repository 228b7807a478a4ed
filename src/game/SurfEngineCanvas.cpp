#include <algorithm>

#include "game/FieldCanvas.h"
#include "graphics/PictureCodec.h"
#include "graphics/SurfEngine.h"

namespace qv {

namespace {

class TSurfEngineCanvas : public IFieldCanvas {
 public:
  explicit TSurfEngineCanvas(TSurfEngine& engine) : E(engine) {}

  bool Exists(std::string_view name) override { return E.Find(name) != nullptr; }

  bool GetSize(std::string_view name, int32_t& width, int32_t& height) override {
    const TSurface* s = E.Find(name);
    if (!s) return false;
    width = s->Width;
    height = s->Height;
    return true;
  }

  void Draw(std::string_view source, std::string_view target, int32_t x, int32_t y, uint8_t alpha,
            const TRect* sourceRect, uint32_t color, uint8_t weight) override {
    E.DrawWithAlphaChannel(source, target, x, y, alpha, sourceRect, color, weight, nullptr);
  }

  void DrawOpaque(std::string_view source, std::string_view target, int32_t x, int32_t y,
                  const TRect* sourceRect) override {
    E.DrawSurface(source, target, x, y, sourceRect, 0);
  }

  void DrawAlphaRamp(std::string_view source, std::string_view target, int32_t x, int32_t y, const TRect* sourceRect,
                     uint32_t color, int32_t a1, int32_t a2, int32_t a3, int32_t peak) override {
    E.DrawWithAlphaRamp(source, target, x, y, sourceRect, color, a1, a2, a3, peak);
  }

  void BlendRect(std::string_view target, const TRect& rect, uint32_t color, uint8_t alpha) override {
    E.BlendRect(target, rect, color, alpha);
  }

  void MultiplyAlpha(std::string_view source, std::string_view target, int32_t x, int32_t y,
                     const TRect* sourceRect) override {
    E.MultiplyAlpha(source, target, x, y, sourceRect);
  }

  void CombineAlpha(std::string_view source, std::string_view target, int32_t x, int32_t y, const TRect* sourceRect,
                    uint8_t factor) override {
    E.CombineAlpha(source, target, x, y, sourceRect, factor);
  }

  void ChannelToAlpha(std::string_view source, std::string_view target, const TRect* rect, uint8_t channel) override {
    E.ChannelToAlpha(source, target, rect, channel);
  }

  void ColorSetToAlpha(std::string_view source, std::string_view target, const std::vector<TPoint>& points,
                       const TRect* rect, uint8_t value) override {
    TPoints list;
    list.reserve(points.size());
    for (const TPoint& p : points) list.push_back(TPoint{p.X, p.Y});
    E.ColorSetToAlpha(source, target, list, rect, value);
  }

  TRect ColorKeyToAlpha(std::string_view source, std::string_view target, TPoint point, const TRect* rect,
                        uint8_t value) override {
    TRect bounds{1000, 1000, -1000, -1000};
    E.ColorKeyToAlpha(source, target, TPoint{point.X, point.Y}, rect, value, bounds);
    return bounds;
  }

  bool CreateSurface(const std::string& name, int32_t width, int32_t height) override {
    while (E.Find(name)) E.DeleteSurface(name);
    return E.CreateEmptySurface(name, std::max(width, 1), std::max(height, 1));
  }

  void DeleteSurface(std::string_view name) override {
    while (E.Find(name)) E.DeleteSurface(name);
  }

  void FillSurface(std::string_view name, uint8_t value) override { E.FillSurface(name, value); }

  void FillAlpha(std::string_view name, uint8_t value) override {
    TSurface* s = E.Find(name);
    if (!s) return;
    if (!s->HasAlpha()) {
      E.CreateAlphaBuffer(name, value);
      return;
    }
    std::fill(s->AlphaBuffer.begin(), s->AlphaBuffer.end(), value);
  }

  bool HasAlpha(std::string_view name) override {
    const TSurface* s = E.Find(name);
    return s && s->HasAlpha();
  }

  bool ReadAlpha(std::string_view name, const TRect& r, std::vector<uint8_t>& bytes) override {
    const TSurface* s = E.Find(name);
    if (!s || !s->HasAlpha() || r.Left < 0 || r.Top < 0 || r.Right < r.Left || r.Bottom < r.Top ||
        r.Right >= s->Width || r.Bottom >= s->Height ||
        s->AlphaBuffer.size() < size_t(s->Width) * size_t(s->Height))
      return false;
    const size_t w = size_t(r.Right - r.Left + 1);
    bytes.resize(w * size_t(r.Bottom - r.Top + 1));
    for (int32_t y = r.Top; y <= r.Bottom; ++y) {
      const uint8_t* row = s->AlphaBuffer.data() + size_t(y) * size_t(s->Width) + size_t(r.Left);
      std::copy(row, row + w, bytes.begin() + std::ptrdiff_t(size_t(y - r.Top) * w));
    }
    return true;
  }

  void WriteAlpha(std::string_view name, const TRect& r, const std::vector<uint8_t>& bytes) override {
    TSurface* s = E.Find(name);
    if (!s || !s->HasAlpha() || r.Right < r.Left || r.Bottom < r.Top) return;
    if (s->AlphaBuffer.size() < size_t(s->Width) * size_t(s->Height)) return;
    const int64_t w = int64_t(r.Right) - r.Left + 1;
    const int64_t h = int64_t(r.Bottom) - r.Top + 1;
    if (int64_t(bytes.size()) < w * h) return;
    for (int64_t row = 0; row < h; ++row) {
      const int64_t y = r.Top + row;
      if (y < 0 || y >= s->Height) continue;
      for (int64_t col = 0; col < w; ++col) {
        const int64_t x = r.Left + col;
        if (x < 0 || x >= s->Width) continue;
        s->AlphaBuffer[size_t(y) * size_t(s->Width) + size_t(x)] = bytes[size_t(row * w + col)];
      }
    }
  }

  bool CopyJpegWindow(const std::string& jpeg, std::string_view target, const TRect& rect) override {
    TSurface* s = E.Find(target);
    if (!s || jpeg.empty()) return false;
    // Only the window's rows are held: the kingdom picture behind the cover is
    // several times the screen, and holding all of it set the level's peak memory.
    const int32_t top = std::max(rect.Top, 0);
    const int32_t rows = int32_t(std::clamp<int64_t>(int64_t{rect.Bottom} - top + 1, 0, s->Height));
    TBitmap24 bitmap;
    try {
      bitmap = DecodeJPEGRows(reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size(), top, rows);
    } catch (const std::exception&) {
      return false;
    }
    const TRect window{rect.Left, 0, rect.Right, rows - 1};
    return E.BitmapToSurface(*s, bitmap, &window);
  }

 private:
  TSurfEngine& E;
};

}  // namespace

std::unique_ptr<IFieldCanvas> MakeSurfEngineCanvas(TSurfEngine& engine) {
  return std::make_unique<TSurfEngineCanvas>(engine);
}

}  // namespace qv
