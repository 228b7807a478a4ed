// The mixer: one second of 44.1 kHz stereo with a music module playing and
// five samples sounding. The target is at most a fiftieth of real time:
// 20 ms per iteration.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/Audio.h"
#include "platform/AudioTestData.h"

namespace {

void BM_MixOneSecond(benchmark::State& state) {
  qv::TAudio audio;
  std::string error;
  const auto moduleBytes = qv::testdata::ToneModule(8, 8, 4);
  const qv::TAudioHandle module = audio.LoadModule(moduleBytes.data(), moduleBytes.size(), error);
  std::vector<qv::TAudioHandle> samples;
  for (int i = 0; i < 5; ++i) {
    const auto ogg = qv::testdata::SineOgg(220.0 * (i + 1), 1.5, 0.2f);
    samples.push_back(audio.LoadSample(ogg.data(), ogg.size(), qv::TAudio::kMaxPlaybacks, error));
  }
  if (module == qv::kNoAudio || samples.back() == qv::kNoAudio) {
    state.SkipWithError(error.c_str());
    return;
  }
  audio.PlayModule(module, 0);
  // A slide keeps the per-frame volume path busy, as during a fade.
  audio.SetVolume(module, 0);
  std::vector<int16_t> out(2 * qv::TAudio::kRate);
  for (auto _ : state) {
    state.PauseTiming();
    audio.SlideVolume(module, 100, 1000);
    for (qv::TAudioHandle s : samples) {
      audio.Stop(s);
      audio.PlaySample(s, 80);
    }
    state.ResumeTiming();
    audio.Render(out.data(), qv::TAudio::kRate);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_MixOneSecond)->Unit(benchmark::kMillisecond);

}  // namespace
