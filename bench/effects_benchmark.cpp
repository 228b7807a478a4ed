// Effects run every frame: a belt's path is evaluated for every card on it,
// and every running effect updates all its particles.
#include <benchmark/benchmark.h>

#include <string>

#include "effects/QelFXParticles.h"
#include "foundation/QelParser.h"

static void BM_BeltPathValue(benchmark::State& state) {
  qv::fx::TQelMorph belt;
  belt.SetDim(2);
  belt.AddPiecewiseFunc("Lenta", "Path (0, 0) (200, 50) (400, 0) (600, 80) (780, 20);", 1.0f);
  int32_t t = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(belt.GetValue2D(t));
    t = (t + 17) % 4000;
  }
}
BENCHMARK(BM_BeltPathValue);

static void BM_BezierPathCompile(benchmark::State& state) {
  for (auto _ : state) {
    auto f = qv::fx::TQelPiecewiseFunc::CreateFromScript(
        "P", "Path (0, 0) [40] (300, 200) (600, -100) [15, 70] {1.5} (800, 600);", 2);
    benchmark::DoNotOptimize(f->TotalLength);
  }
}
BENCHMARK(BM_BezierPathCompile);

static void BM_EffectUpdate(benchmark::State& state) {
  const std::string xml = R"(<ParticleEffect Name="Burst">
  <Functions>
    <Function Name="FDrift" Dim="2" Type="parabolic"><StartVelocity>(40, -60)</StartVelocity>
      <Acceleration>(0, 30)</Acceleration></Function>
    <Function Name="FFade" Dim="1" Type="periodic"><XParam>0.5*cos(t)+0.5</XParam></Function>
  </Functions>
  <Morphs>
    <Morph Name="MDrift" Dim="2"><Functions><Function Name="FDrift" Clone="true"/></Functions>
      <Properties><Property Name="Scale">(0.5, 0.5)..(1.5, 1.5)</Property></Properties></Morph>
    <Morph Name="MFade" Dim="1"><Functions><Function Name="FFade"/></Functions></Morph>
  </Morphs>
  <Particles><Particle Name="P">
    <Parameter Name="Position" Dim="2" Morph="MDrift" ClonedMorph="true"/>
    <Parameter Name="Alpha" Dim="1" Morph="MFade"/>
  </Particle></Particles>
  <ParticleSystems><ParticleSystem Name="S" Template="P"><InitParticles>)" +
                          std::to_string(state.range(0)) + R"(</InitParticles></ParticleSystem></ParticleSystems>
</ParticleEffect>)";
  qv::TQelParser parser;
  parser.LoadFromText(xml);
  qv::fx::TQelParticleEffect tmpl;
  tmpl.AnalyzeXML(&parser);
  qv::fx::TQelParticleEffect effect;
  effect.Assign(&tmpl);
  effect.SetStartTime(1000000);
  effect.Init();
  uint32_t t = 1000000;
  for (auto _ : state) {
    effect.Update(t);
    t += 16;
  }
}
BENCHMARK(BM_EffectUpdate)->Arg(10)->Arg(100);
