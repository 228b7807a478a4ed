// An error box breaks its text into lines; a damaged file can make that
// text a megabyte long, and the box must still come up at once.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/Desktop.h"

static void BM_BreakLines(benchmark::State& state) {
  std::string text;
  // Words of 1 to 9 characters and one blank-free stretch, as a long number.
  for (int i = 0; text.size() < size_t(state.range(0)) / 2; ++i) text += std::string(size_t(1 + i % 9), 'w') + ' ';
  text += std::string(size_t(state.range(0)) - text.size(), '7');
  for (auto _ : state) benchmark::DoNotOptimize(qv::BreakLines(text, qv::kErrorBoxColumns).size());
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BreakLines)->Range(1 << 12, 1 << 20)->Complexity(benchmark::oN);
