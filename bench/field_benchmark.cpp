// One full pass of the card game's field drawing over a busy level (two
// belts, thirty cards, ten running effects, every layer) at 800 x 600 in 32
// and 16 bits, next to a plain memcpy of as many bytes as the pass writes,
// measured in the same run. The pass should stay within three times that
// memory-traffic floor; "floor_ratio" reports where it stands.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics/SurfEngine.h"
#include "../tests/game/FieldFakes.h"
#include "../tests/game/FieldScene.h"
#include "game/FieldDrawing.h"
#include "platform/HeadlessDisplay.h"

namespace {

using namespace qv;
using namespace qv::test;

constexpr int32_t kNow = 1012345;

// Passes every call on and counts the bytes each draw writes into its target.
class CountingCanvas : public IFieldCanvas {
 public:
  CountingCanvas(IFieldCanvas& inner, int bytesPerPixel) : In(inner), Bpp(bytesPerPixel) {}

  bool Exists(std::string_view n) override { return In.Exists(n); }
  bool GetSize(std::string_view n, int32_t& w, int32_t& h) override { return In.GetSize(n, w, h); }
  void Draw(std::string_view s, std::string_view t, int32_t x, int32_t y, uint8_t a, const TRect* r, uint32_t c,
            uint8_t w) override {
    if (r) {
      Count(t, x, y, r->Right - r->Left + 1, r->Bottom - r->Top + 1);
    } else {
      int32_t sw = 0, sh = 0;
      if (In.GetSize(s, sw, sh)) Count(t, x, y, sw, sh);
    }
    In.Draw(s, t, x, y, a, r, c, w);
  }
  void DrawOpaque(std::string_view s, std::string_view t, int32_t x, int32_t y, const TRect* r) override {
    In.DrawOpaque(s, t, x, y, r);
  }
  void DrawAlphaRamp(std::string_view s, std::string_view t, int32_t x, int32_t y, const TRect* r, uint32_t c,
                     int32_t a1, int32_t a2, int32_t a3, int32_t p) override {
    In.DrawAlphaRamp(s, t, x, y, r, c, a1, a2, a3, p);
  }
  void BlendRect(std::string_view t, const TRect& r, uint32_t c, uint8_t a) override { In.BlendRect(t, r, c, a); }
  void MultiplyAlpha(std::string_view s, std::string_view t, int32_t x, int32_t y, const TRect* r) override {
    In.MultiplyAlpha(s, t, x, y, r);
  }
  void CombineAlpha(std::string_view s, std::string_view t, int32_t x, int32_t y, const TRect* r,
                    uint8_t f) override {
    In.CombineAlpha(s, t, x, y, r, f);
  }
  void ChannelToAlpha(std::string_view s, std::string_view t, const TRect* r, uint8_t c) override {
    In.ChannelToAlpha(s, t, r, c);
  }
  void ColorSetToAlpha(std::string_view s, std::string_view t, const std::vector<TPoint>& p, const TRect* r,
                       uint8_t v) override {
    In.ColorSetToAlpha(s, t, p, r, v);
  }
  TRect ColorKeyToAlpha(std::string_view s, std::string_view t, TPoint p, const TRect* r, uint8_t v) override {
    return In.ColorKeyToAlpha(s, t, p, r, v);
  }
  bool CreateSurface(const std::string& n, int32_t w, int32_t h) override { return In.CreateSurface(n, w, h); }
  void DeleteSurface(std::string_view n) override { In.DeleteSurface(n); }
  void FillSurface(std::string_view n, uint8_t v) override { In.FillSurface(n, v); }
  void FillAlpha(std::string_view n, uint8_t v) override { In.FillAlpha(n, v); }
  bool HasAlpha(std::string_view n) override { return In.HasAlpha(n); }
  bool ReadAlpha(std::string_view n, const TRect& r, std::vector<uint8_t>& b) override { return In.ReadAlpha(n, r, b); }
  void WriteAlpha(std::string_view n, const TRect& r, const std::vector<uint8_t>& b) override { In.WriteAlpha(n, r, b); }
  bool CopyJpegWindow(const std::string& j, std::string_view t, const TRect& r) override {
    return In.CopyJpegWindow(j, t, r);
  }

  int64_t Bytes = 0;

 private:
  void Count(std::string_view target, int32_t x, int32_t y, int32_t w, int32_t h) {
    int32_t tw = 0, th = 0;
    if (!In.GetSize(target, tw, th)) return;
    const int64_t cols = std::max(0, std::min(x + w, tw) - std::max(x, 0));
    const int64_t rows = std::max(0, std::min(y + h, th) - std::max(y, 0));
    Bytes += cols * rows * Bpp;
  }

  IFieldCanvas& In;
  int Bpp;
};

// The busy level on a headless engine of the given depth.
struct Scene {
  explicit Scene(int bits) : Display(bits == 16 ? kFormatRGB565 : kFormatXRGB8888) {
    TDisplayMode mode;
    mode.ForcedFormat = bits == 16 ? kFormatRGB565 : kFormatXRGB8888;
    std::string error;
    Display.Open(mode, error);
    Engine.Create(&Display, Display.PrimarySurface(), 800, 600);
    Canvas = MakeSurfEngineCanvas(Engine);
    Counter = std::make_unique<CountingCanvas>(*Canvas, bits / 8);
    MakeScenePictures(*Canvas, H.State.CardTypes, [this](const std::string& name, int w, int h, bool alpha,
                                                         const std::function<Rgba(int, int)>& paint) {
      MakePicture(name, w, h, alpha, paint);
    });
    Canvas->CreateSurface("Background", 800, 600);
    Canvas->CreateSurface("MemoryBufer", 800, 600);
    Surfaces = std::make_unique<TLevelSurfaces>(H.State, H.Svc, *Canvas, Host);
    Effects = std::make_unique<TGameEffects>(H.State, H.Svc, *Surfaces);
    Effects->Templates = Templates.All();
    BuildScene(H, *Surfaces, *Effects, kNow);
    Field = std::make_unique<TFieldDrawing>(H.State, H.Svc, *Counter, Host);
  }

  void MakePicture(const std::string& name, int w, int h, bool alpha, const std::function<Rgba(int, int)>& paint) {
    TPngImage image;
    image.Resize(w, h);
    if (alpha) image.Alpha.assign(size_t(w) * size_t(h), 0);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const Rgba c = paint(x, y);
        uint8_t* px = image.Row(y) + x * 3;
        px[0] = c.B;
        px[1] = c.G;
        px[2] = c.R;
        if (alpha) image.AlphaRow(y)[x] = c.A;
      }
    }
    Engine.CreateEmptySurface(name, w, h);
    Engine.PNGToSurface(*Engine.Find(name), image);
    if (alpha) {
      Engine.CreateAlphaBuffer(name, 0);
      Engine.Find(name)->AlphaBuffer = image.Alpha;
    }
  }

  void Pass() {
    H.Screen.Dirty.clear();
    Field->BeginPass(kNow, kNow - 16);
    Field->DrawPlayField("MemoryBufer");
  }

  THeadlessDisplay Display;
  TSurfEngine Engine;
  std::unique_ptr<IFieldCanvas> Canvas;
  std::unique_ptr<CountingCanvas> Counter;
  GameHarness H;
  FakeHost Host;
  SceneTemplates Templates;
  std::unique_ptr<TLevelSurfaces> Surfaces;
  std::unique_ptr<TGameEffects> Effects;
  std::unique_ptr<TFieldDrawing> Field;
};

int64_t BytesOfOnePass(Scene& scene) {
  scene.Counter->Bytes = 0;
  scene.Pass();
  return scene.Counter->Bytes;
}

double MemcpyMicroseconds(int64_t bytes) {
  std::vector<uint8_t> from(static_cast<size_t>(bytes), 1), to(static_cast<size_t>(bytes));
  constexpr int kRounds = 200;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRounds; ++i) {
    from[static_cast<size_t>(i) % from.size()] = static_cast<uint8_t>(i);
    std::memcpy(to.data(), from.data(), to.size());
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / kRounds;
}

void BM_FieldPass(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  const int64_t bytes = BytesOfOnePass(scene);
  const double floor = MemcpyMicroseconds(bytes);
  int64_t passes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    scene.Pass();
    benchmark::ClobberMemory();
    ++passes;
  }
  const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
  const double perPass = passes > 0 ? spent.count() / static_cast<double>(passes) : 0.0;
  state.counters["bytes_written"] = static_cast<double>(bytes);
  state.counters["pass_us"] = perPass;
  state.counters["memcpy_us"] = floor;
  state.counters["floor_ratio"] = floor > 0 ? perPass / floor : 0.0;
  state.SetBytesProcessed(passes * bytes);
}
BENCHMARK(BM_FieldPass)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);

// The floor alone: a memcpy of the bytes one pass writes.
void BM_MemcpyFloor(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  const int64_t bytes = BytesOfOnePass(scene);
  std::vector<uint8_t> from(static_cast<size_t>(bytes), 1), to(static_cast<size_t>(bytes));
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), to.size());
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.counters["bytes_written"] = static_cast<double>(bytes);
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_MemcpyFloor)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);

}  // namespace
