// Reading and writing large tag files. Scanning must stay linear in the size
// of the text, also for hostile texts (stray "<" without any ">", deep nesting).
#include <benchmark/benchmark.h>

#include <string>

#include "foundation/QelParser.h"

namespace {

// A level-like file of about 120 bytes per point.
std::string LevelText(int64_t points) {
  std::string text = "<?xml version=\"1.0\"?>\r\n<Level Name=\"Big\">\r\n\t<Points>\r\n";
  for (int64_t i = 0; i < points; ++i) {
    text += "\t\t<Point X=\"" + std::to_string(i % 800) + "\" Y=\"" + std::to_string(i % 600) +
            "\" Zone=\"1\">\r\n\t\t\t<Script>if a &lt; " + std::to_string(i) + " then go</Script>\r\n\t\t</Point>\r\n";
  }
  text += "\t</Points>\r\n<!-- end of\r\nthe <points> -->\r\n</Level>\r\n";
  return text;
}

void BM_ParseLevel(benchmark::State& state) {
  const std::string text = LevelText(state.range(0));
  for (auto _ : state) {
    qv::TQelParser parser;
    parser.LoadFromText(text);
    benchmark::DoNotOptimize(parser.TagCount());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseLevel)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity(benchmark::oN);

void BM_WriteLevel(benchmark::State& state) {
  qv::TQelParser parser;
  parser.LoadFromText(LevelText(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(parser.SaveToText());
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WriteLevel)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity(benchmark::oN);

void BM_ParseStrayLessThan(benchmark::State& state) {
  const std::string text = "<a>" + std::string(static_cast<size_t>(state.range(0)), '<');
  for (auto _ : state) {
    qv::TQelParser parser;
    parser.LoadFromText(text);
    benchmark::DoNotOptimize(parser.TagCount());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseStrayLessThan)->RangeMultiplier(8)->Range(1 << 12, 1 << 21)->Complexity(benchmark::oN);

void BM_ParseDeepNesting(benchmark::State& state) {
  std::string text;
  for (int64_t i = 0; i < state.range(0); ++i) text += "<a k=\"v\">";
  for (auto _ : state) {
    qv::TQelParser parser;
    parser.LoadFromText(text);
    benchmark::DoNotOptimize(parser.TagCount());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseDeepNesting)->RangeMultiplier(8)->Range(1 << 10, 1 << 19)->Complexity(benchmark::oN);

}  // namespace
