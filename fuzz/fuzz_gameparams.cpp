// "GameParams.xml" from anywhere, plain or enciphered: either it reads, or it
// fails with the engine's error and leaves the parameters as they were.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "foundation/Log.h"
#include "foundation/QelException.h"
#include "shell/GameParams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv::Log::SetSink([](const std::string&) {});
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  qv::TShellGameParams params;
  params.Game.GameBornPeriod = 12345;
  try {
    qv::ParseGameParams(bytes, "GameParams.xml", params);
  } catch (const qv::Exception&) {
    // A refused file changes nothing.
    if (params.Game.GameBornPeriod != 12345) std::abort();
  }
  return 0;
}
