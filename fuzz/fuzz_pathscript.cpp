// Path scripts from hostile text: parsing, compiling, evaluation over time,
// node moves and copies must neither crash nor hang.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "effects/QelFXBase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int dim = data[0] % 3 + 1;
  std::string script(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    auto f = qv::fx::TQelPiecewiseFunc::CreateFromScript("Fuzz", script, dim);
    f->SetScript(script);  // a second script continues the path
    qv::fx::TVector3 v;
    const uint32_t total = f->TotalDuration;
    const uint32_t times[] = {0u, 1u, total / 2, total, total + 1, total * 2u, total * 2u + 7, 0x7fffffffu,
                              0xffffffffu};
    for (uint32_t t : times) {
      f->GetValue(t, false, v);
      f->GetValue(t, true, v);
    }
    for (int32_t node = 0; node <= f->NodeCount + 1; ++node) {
      try {
        f->SetParam(node, {1.5f, -2.5f, 3.0f});
      } catch (const std::exception&) {
      }
    }
    auto copy = qv::fx::CloneAs(f.get());
    if (copy) copy->GetValue(total / 3, false, v);
    qv::fx::TQelMorph morph;
    morph.SetDim(dim);
    morph.AddPiecewiseFunc("Belt", script, 1.0f);
    morph.GetValue(static_cast<int32_t>(total / 2));
  } catch (const std::exception&) {
  }
  return 0;
}
