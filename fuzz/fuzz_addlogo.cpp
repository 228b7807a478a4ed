// "AddLogo.xml" from anywhere: every child gets its entry, links are
// rewritten without touching anything but the given reader, and a logo
// always names its parent.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "foundation/Log.h"
#include "foundation/QelException.h"
#include "shell/AddLogos.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv::Log::SetSink([](const std::string&) {});
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const qv::TRegistryReader registry = [](std::string_view key, std::string_view value) {
    return std::string(key) + "|" + std::string(value);
  };
  try {
    const auto entries = qv::ParseAddLogos(text, "AddLogo.xml", "/game", registry);
    for (size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].Index != int32_t(i)) std::abort();
      if (entries[i].IsLogo && entries[i].Parent.size() > size) std::abort();
    }
    (void)qv::LogoIndexOfName(text);
  } catch (const qv::Exception&) {
  }
  return 0;
}
