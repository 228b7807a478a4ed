// Periodic formulas from hostile text: either a clear error or a function
// that evaluates without crashing.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "effects/QelFXBase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  qv::fx::TQelPeriodicFunc f;
  f.SetDim(3);
  for (int axis = 0; axis < 3; ++axis) {
    try {
      f.SetFormula(axis, text);
    } catch (const std::exception&) {
    }
  }
  qv::fx::TVector3 v;
  for (uint32_t t : {0u, 500u, 1000u, 123456u, 0xffffffffu}) {
    f.GetValue(t, false, v);
    f.GetValue(t, true, v);
  }
  return 0;
}
