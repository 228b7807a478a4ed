// Arbitrary bytes as an Ogg Vorbis sample: decoded, played over itself and mixed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Audio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv::TAudio audio;
  std::string error;
  const qv::TAudioHandle sample = audio.LoadSample(data, size, qv::TAudio::kMaxPlaybacks, error);
  if (sample == qv::kNoAudio) return 0;
  std::vector<int16_t> out(2 * 1024);
  for (int i = 0; i < 7; ++i) {
    const qv::TAudioHandle playback = audio.PlaySample(sample, 100);
    audio.SlideVolume(playback, 20, 10);
    audio.Render(out.data(), 1024);
  }
  audio.Free(sample);
  audio.Render(out.data(), 1024);
  return 0;
}
