// Speed of the surface engine's blits against SDL2's own software blit on
// identical pixels: a full 800 x 600 picture with alpha (opaque middle, a
// soft edge band, transparent surroundings) and a 32 x 50 card (opaque face,
// soft border, cut corners). Prints megapixels per second and the ratios.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "graphics/SurfEngine.h"
#include "platform/HeadlessDisplay.h"
#include "platform/SdlReferenceBlit.h"

namespace {

using namespace qv;

struct Picture {
  int Width, Height;
  std::vector<uint32_t> Rgb;  // 0x00RRGGBB
  std::vector<uint8_t> Alpha;
};

Picture FullScreenPicture() {
  Picture p{800, 600, {}, {}};
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const double dx = (x - 400) / 380.0, dy = (y - 300) / 270.0;
      const double d = std::sqrt(dx * dx + dy * dy);
      int a = d < 0.8 ? 255 : d < 1.0 ? int(255 * (1.0 - d) / 0.2) : 0;
      p.Alpha.push_back(uint8_t(a));
      p.Rgb.push_back(uint32_t(((x * 3) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 | ((x ^ y) & 0xFF)));
    }
  return p;
}

Picture CardPicture() {
  Picture p{32, 50, {}, {}};
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 32; ++x) {
      const int edge = std::min(std::min(x, 31 - x), std::min(y, 49 - y));
      const bool corner = (x < 2 || x > 29) && (y < 2 || y > 47);
      p.Alpha.push_back(uint8_t(corner ? 0 : edge == 0 ? 128 : 255));
      p.Rgb.push_back(uint32_t(0xF0F0F0 - uint32_t(x * 0x10101 + y * 0x20000)));
    }
  return p;
}

const Picture& Full() {
  static const Picture p = FullScreenPicture();
  return p;
}
const Picture& Card() {
  static const Picture p = CardPicture();
  return p;
}

// An engine on a headless display with the picture loaded as "Pic" and an
// 800 x 600 target "MemoryBufer".
struct Scene {
  THeadlessDisplay Display;
  TSurfEngine Engine;

  Scene(const TPixelFormat& format, const Picture& pic) : Display(format) {
    TDisplayMode mode;
    mode.ForcedFormat = format;
    std::string error;
    Display.Open(mode, error);
    Engine.Create(&Display, Display.PrimarySurface(), 800, 600);
    Engine.CreateEmptySurface("MemoryBufer", 800, 600);
    Engine.FillSurface("MemoryBufer", 0x40);
    Engine.CreateEmptySurface("Pic", pic.Width, pic.Height);
    TSurface& s = *Engine.Find("Pic");
    TBitmap24 bmp;
    bmp.Resize(pic.Width, pic.Height);
    for (size_t i = 0; i < pic.Rgb.size(); ++i) {
      bmp.Pixels[i * 3] = uint8_t(pic.Rgb[i]);
      bmp.Pixels[i * 3 + 1] = uint8_t(pic.Rgb[i] >> 8);
      bmp.Pixels[i * 3 + 2] = uint8_t(pic.Rgb[i] >> 16);
    }
    Engine.BitmapToSurface(s, bmp, nullptr);
    Engine.CreateAlphaBuffer("Pic", 0);
    Engine.Find("Pic")->AlphaBuffer = pic.Alpha;
  }
};

void Positions(const Picture& pic, int i, int& x, int& y) {
  if (pic.Width == 800) {
    x = y = 0;
  } else {
    x = (i * 37) % (800 - pic.Width);
    y = (i * 53) % (600 - pic.Height);
  }
}

void RunAlpha(benchmark::State& state, const TPixelFormat& format, const Picture& pic, uint8_t weight) {
  Scene scene(format, pic);
  int i = 0;
  for (auto _ : state) {
    int x, y;
    Positions(pic, i++, x, y);
    scene.Engine.DrawWithAlphaChannel("Pic", "MemoryBufer", x, y, 255, nullptr, 0x0040C0FF, weight, nullptr);
  }
  state.SetItemsProcessed(state.iterations() * pic.Width * pic.Height);
}

void RunCopy(benchmark::State& state, const TPixelFormat& format, const Picture& pic) {
  Scene scene(format, pic);
  int i = 0;
  for (auto _ : state) {
    int x, y;
    Positions(pic, i++, x, y);
    scene.Engine.DrawSurface("Pic", "MemoryBufer", x, y, nullptr, 0);
  }
  state.SetItemsProcessed(state.iterations() * pic.Width * pic.Height);
}

void RunSdl(benchmark::State& state, const Picture& pic) {
  std::vector<uint32_t> argb(pic.Rgb.size());
  for (size_t i = 0; i < argb.size(); ++i) argb[i] = pic.Rgb[i] | uint32_t(pic.Alpha[i]) << 24;
  TSdlReferenceBlit sdl(pic.Width, pic.Height, argb.data(), 800, 600);
  if (!sdl.Valid()) {
    state.SkipWithError("SDL surfaces could not be made");
    return;
  }
  int i = 0;
  for (auto _ : state) {
    int x, y;
    Positions(pic, i++, x, y);
    sdl.Blit(x, y);
  }
  state.SetItemsProcessed(state.iterations() * pic.Width * pic.Height);
}

void BM_Alpha32_Full(benchmark::State& s) { RunAlpha(s, kFormatXRGB8888, Full(), 0); }
void BM_Alpha32_Card(benchmark::State& s) { RunAlpha(s, kFormatXRGB8888, Card(), 0); }
void BM_Tint32_Full(benchmark::State& s) { RunAlpha(s, kFormatXRGB8888, Full(), 1); }
void BM_Tint32_Card(benchmark::State& s) { RunAlpha(s, kFormatXRGB8888, Card(), 1); }
void BM_Alpha16_Full(benchmark::State& s) { RunAlpha(s, kFormatRGB565, Full(), 0); }
void BM_Alpha16_Card(benchmark::State& s) { RunAlpha(s, kFormatRGB565, Card(), 0); }
void BM_Tint16_Full(benchmark::State& s) { RunAlpha(s, kFormatRGB565, Full(), 1); }
void BM_Tint16_Card(benchmark::State& s) { RunAlpha(s, kFormatRGB565, Card(), 1); }
void BM_DrawSurface32_Full(benchmark::State& s) { RunCopy(s, kFormatXRGB8888, Full()); }
void BM_DrawSurface32_Card(benchmark::State& s) { RunCopy(s, kFormatXRGB8888, Card()); }
void BM_DrawSurface16_Full(benchmark::State& s) { RunCopy(s, kFormatRGB565, Full()); }
void BM_DrawSurface16_Card(benchmark::State& s) { RunCopy(s, kFormatRGB565, Card()); }
void BM_SdlBlend_Full(benchmark::State& s) { RunSdl(s, Full()); }
void BM_SdlBlend_Card(benchmark::State& s) { RunSdl(s, Card()); }

BENCHMARK(BM_Alpha32_Full);
BENCHMARK(BM_Alpha32_Card);
BENCHMARK(BM_Tint32_Full);
BENCHMARK(BM_Tint32_Card);
BENCHMARK(BM_Alpha16_Full);
BENCHMARK(BM_Alpha16_Card);
BENCHMARK(BM_Tint16_Full);
BENCHMARK(BM_Tint16_Card);
BENCHMARK(BM_DrawSurface32_Full);
BENCHMARK(BM_DrawSurface32_Card);
BENCHMARK(BM_DrawSurface16_Full);
BENCHMARK(BM_DrawSurface16_Card);
BENCHMARK(BM_SdlBlend_Full);
BENCHMARK(BM_SdlBlend_Card);

// Keeps each run's pixel rate so that the ratios can be printed at the end.
class RateReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      auto it = r.counters.find("items_per_second");
      if (it != r.counters.end()) Rates[r.benchmark_name()] = it->second.value / 1e6;
    }
  }
  std::map<std::string, double> Rates;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const char* pairs[][2] = {{"BM_Alpha32_Full", "BM_SdlBlend_Full"}, {"BM_Alpha32_Card", "BM_SdlBlend_Card"},
                            {"BM_Tint32_Full", "BM_SdlBlend_Full"},  {"BM_Tint32_Card", "BM_SdlBlend_Card"},
                            {"BM_Alpha16_Full", "BM_SdlBlend_Full"}, {"BM_Alpha16_Card", "BM_SdlBlend_Card"},
                            {"BM_Tint16_Full", "BM_SdlBlend_Full"},  {"BM_Tint16_Card", "BM_SdlBlend_Card"},
                            {"BM_DrawSurface32_Full", "BM_SdlBlend_Full"},
                            {"BM_DrawSurface32_Card", "BM_SdlBlend_Card"},
                            {"BM_DrawSurface16_Full", "BM_SdlBlend_Full"},
                            {"BM_DrawSurface16_Card", "BM_SdlBlend_Card"}};
  std::printf("\n%-24s %12s %12s %8s\n", "blit", "ours MP/s", "SDL MP/s", "ratio");
  for (const auto& p : pairs) {
    const auto ours = reporter.Rates.find(p[0]), sdl = reporter.Rates.find(p[1]);
    if (ours == reporter.Rates.end() || sdl == reporter.Rates.end() || sdl->second <= 0) continue;
    std::printf("%-24s %12.1f %12.1f %8.2f\n", p[0] + 3, ours->second, sdl->second, ours->second / sdl->second);
  }
  benchmark::Shutdown();
  return 0;
}
