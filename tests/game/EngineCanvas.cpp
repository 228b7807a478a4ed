#include "EngineCanvas.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "foundation/MemoryStream.h"
#include "graphics/PictureCodec.h"
#include "graphics/SurfEngine.h"
#include "platform/HeadlessDisplay.h"

namespace qv::test {

struct EngineCanvas::Impl {
  explicit Impl(const TPixelFormat& format) : Display(format) {
    TDisplayMode mode;
    mode.FullScreen = true;
    mode.ForcedFormat = format;
    std::string error;
    Display.Open(mode, error);
    Engine.Create(&Display, Display.PrimarySurface(), 800, 600);
    Canvas = MakeSurfEngineCanvas(Engine);
  }
  THeadlessDisplay Display;
  TSurfEngine Engine;
  std::unique_ptr<IFieldCanvas> Canvas;
};

EngineCanvas::EngineCanvas(int bitsPerPixel)
    : P(std::make_unique<Impl>(bitsPerPixel == 16 ? kFormatRGB565 : kFormatXRGB8888)) {}

EngineCanvas::~EngineCanvas() = default;

IFieldCanvas& EngineCanvas::Canvas() { return *P->Canvas; }

void EngineCanvas::MakePicture(const std::string& name, int width, int height, bool alpha,
                               const std::function<Rgba(int, int)>& paint) {
  TPngImage image;
  image.Resize(width, height);
  if (alpha) image.Alpha.assign(size_t(width) * size_t(height), 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgba c = paint(x, y);
      uint8_t* px = image.Row(y) + x * 3;
      px[0] = c.B;
      px[1] = c.G;
      px[2] = c.R;
      if (alpha) image.AlphaRow(y)[x] = c.A;
    }
  }
  P->Engine.DeleteSurface(name);
  P->Engine.CreateEmptySurface(name, width, height);
  TSurface* s = P->Engine.Find(name);
  P->Engine.PNGToSurface(*s, image);
  if (alpha) {
    P->Engine.CreateAlphaBuffer(name, 0);
    s = P->Engine.Find(name);
    s->AlphaBuffer = image.Alpha;
  }
}

std::string EngineCanvas::MakeJpegBytes(int width, int height, const std::function<Rgba(int, int)>& paint) {
  TBitmap24 bitmap;
  bitmap.Resize(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgba c = paint(x, y);
      uint8_t* px = bitmap.Row(y) + x * 3;
      px[0] = c.B;
      px[1] = c.G;
      px[2] = c.R;
    }
  }
  const std::vector<uint8_t> bytes = EncodeJPEG(bitmap, 95);
  return std::string(bytes.begin(), bytes.end());
}

Rgba EngineCanvas::Pixel(const std::string& name, int x, int y) {
  TSurface& s = *P->Engine.Find(name);
  const TPixelFormat& f = s.Surface->Format();
  const uint8_t* p = s.Surface->Row(y) + x * int(f.BytesPerPixel());
  if (f.BitCount == 32) return Rgba{p[2], p[1], p[0], 255};
  uint16_t v;
  std::memcpy(&v, p, 2);
  auto widen = [v](uint32_t mask) {
    int shift = 0;
    while (!((mask >> shift) & 1u)) ++shift;
    const uint32_t max = mask >> shift;
    return uint8_t(((v & mask) >> shift) * 255u / max);
  };
  return Rgba{widen(f.RMask), widen(f.GMask), widen(f.BMask), 255};
}

uint8_t EngineCanvas::Alpha(const std::string& name, int x, int y) {
  TSurface& s = *P->Engine.Find(name);
  return s.AlphaBuffer[size_t(y) * size_t(s.Width) + size_t(x)];
}

std::string EngineCanvas::CheckGolden(const std::string& name, const std::string& pngPath, int tolerance) {
  TSurface* s = P->Engine.Find(name);
  if (!s) return "no surface " + name;
  TPngImage now;
  now.Resize(s->Width, s->Height);
  for (int y = 0; y < s->Height; ++y) {
    for (int x = 0; x < s->Width; ++x) {
      const Rgba c = Pixel(name, x, y);
      uint8_t* px = now.Row(y) + x * 3;
      px[0] = c.B;
      px[1] = c.G;
      px[2] = c.R;
    }
  }
  if (std::getenv("QUORVANE_REGEN_GOLDENS")) {
    const std::vector<uint8_t> bytes = EncodePNG(now);
    std::ofstream out(pngPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return out ? std::string() : "cannot write " + pngPath;
  }
  std::ifstream in(pngPath, std::ios::binary);
  if (!in) return "no golden " + pngPath + " (run scripts/regen-goldens.sh)";
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string data = buffer.str();
  const TPngImage golden = DecodePNG(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  if (golden.Width != now.Width || golden.Height != now.Height) return "size differs from " + pngPath;
  int bad = 0;
  std::string first;
  for (int y = 0; y < now.Height; ++y) {
    for (int x = 0; x < now.Width * 3; ++x) {
      const int d = std::abs(int(now.Row(y)[x]) - int(golden.Row(y)[x]));
      if (d > tolerance) {
        if (bad++ == 0) first = "first at (" + std::to_string(x / 3) + ", " + std::to_string(y) + ")";
      }
    }
  }
  return bad == 0 ? std::string() : std::to_string(bad) + " channel values differ from " + pngPath + ", " + first;
}

}  // namespace qv::test
