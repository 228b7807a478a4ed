// Whole effect files from hostile text: reading, copying, starting and
// updating over a range of times.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "effects/QelFXParticles.h"
#include "foundation/QelParser.h"

namespace {

// The shipped effect files ask for a handful of particles; the harness skips
// files that would ask for millions, which only measures memory.
bool Modest(const qv::fx::TQelParticleEffect& e) {
  for (int32_t i = 0; i < e.GetSystemCount(); ++i) {
    const qv::fx::TQelParticleSystem* s = e.GetSystem(i);
    if (!s) continue;
    if (s->InitParticles < 0 || s->InitParticles > 200) return false;
    if (s->ParticlesPerThrow < 0 || s->ParticlesPerThrow > 200) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  qv::TQelParser parser;
  try {
    parser.LoadFromText(text);
  } catch (const std::exception&) {
    return 0;
  }
  qv::fx::TQelParticleEffect tmpl;
  try {
    tmpl.AnalyzeXML(&parser);
  } catch (const std::exception&) {
    // What was read stays and must still copy and run.
  }
  if (!Modest(tmpl)) return 0;
  try {
    qv::fx::TQelParticleEffect effect;
    effect.Assign(&tmpl);
    int32_t f = effect.IndexOfFunction("FContour");
    if (auto* path = dynamic_cast<qv::fx::TQelPiecewiseFunc*>(effect.GetFunction(f)))
      path->SetScript("Set Linear; Set Timing 0.3; Path (100,200) (300,400); Ending Stop;");
    effect.SetStartTime(1000000);
    effect.Init();
    for (uint32_t t = 1000000; t <= 1003000; t += 150) {
      effect.Update(t);
      if (effect.ParticleCount > 5000) break;
    }
    effect.Update(999);
    qv::fx::TQelParticleEffect again;
    again.Assign(&effect);
    again.Update(1004000);
  } catch (const std::exception&) {
  }
  return 0;
}
