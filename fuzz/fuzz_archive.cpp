// Opens arbitrary bytes as an archive, loads every entry and looks names up:
// damaged archives must give errors, never crashes or huge allocations.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/FileFolder.h"
#include "foundation/QelException.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("quorvane_fuzz_archive_" + std::to_string(::getpid()) + ".zxc");
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  try {
    qv::TFileFolder folder(path);
    try {
      folder.LoadAll();
    } catch (const qv::Exception&) {
    }
    for (int i = 0; i < folder.Count(); ++i) {
      std::string name = folder.Dir[static_cast<size_t>(i)].GetName();
      int found = folder.IndexOf(name);
      if (found < 0 || found > i) std::abort();
      try {
        folder.LoadFile(name);
      } catch (const qv::Exception&) {
      }
    }
    folder.IndexOf("game.xml");
    folder.IndexOf("");
  } catch (const qv::Exception&) {
  }
  std::filesystem::remove(path);
  return 0;
}
