// Arbitrary bytes as a music module: loaded, started at a few orders and mixed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Audio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv::TAudio audio;
  std::string error;
  const qv::TAudioHandle module = audio.LoadModule(data, size, error);
  if (module == qv::kNoAudio) return 0;
  std::vector<int16_t> out(2 * 1024);
  for (int order : {0, 5, 1000, -1}) {
    audio.PlayModule(module, order);
    audio.SlideVolume(module, 50, 20);
    for (int i = 0; i < 3; ++i) audio.Render(out.data(), 1024);
  }
  audio.Free(module);
  return 0;
}
