// The frame's dirty rectangles are split into cells once or twice per frame.
#include <benchmark/benchmark.h>

#include <random>

#include "foundation/SFunctions.h"

static void BM_RectsToCells(benchmark::State& state) {
  std::mt19937 gen(1);
  std::uniform_int_distribution<int32_t> pos(0, 760), size(8, 60);
  qv::TRects input;
  for (int i = 0; i < state.range(0); ++i) {
    int32_t l = pos(gen), t = pos(gen) % 560;
    input.push_back({l, t, l + size(gen), t + size(gen)});
  }
  for (auto _ : state) {
    qv::TRects cells;
    qv::RectsToCells(cells, input);
    benchmark::DoNotOptimize(cells.data());
  }
}
BENCHMARK(BM_RectsToCells)->Arg(8)->Arg(32)->Arg(100)->Arg(300);
