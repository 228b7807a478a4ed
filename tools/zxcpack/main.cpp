// zxcpack: builds a shipped archive from a folder, or lists an archive.
//   zxcpack <folder> <archive>
//   zxcpack --list <archive>
#include <cstdio>
#include <exception>
#include <string>

#include "graphics/ZxcPack.h"

namespace {

int Usage() {
  std::fputs("usage: zxcpack <folder> <archive>\n       zxcpack --list <archive>\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  const std::string first = argv[1];
  try {
    if (first == "--list") {
      for (const std::string& line : qv::ListArchive(argv[2])) std::printf("%s\n", line.c_str());
      return 0;
    }
    if (!first.empty() && first[0] == '-') return Usage();
    qv::PackFolder(first, argv[2]);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zxcpack: %s\n", e.what());
    return 1;
  }
}
