#include "foundation/CPUInfo.h"

#include <unistd.h>

#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#define QV_HAVE_CPUID 1
#endif

namespace qv {

bool IsCPUIDAvailable() {
#ifdef QV_HAVE_CPUID
  // On 32-bit processors this tests whether the identification flag can be changed.
  return __get_cpuid_max(0, nullptr) != 0;
#else
  return false;
#endif
}

std::string CPUNameFromLeaves(uint32_t highestExtendedLeaf, const std::array<uint32_t, 12>& brandRegisters) {
  char text[49] = {};
  if (highestExtendedLeaf > 0x80000003u) {
    for (size_t i = 0; i < brandRegisters.size(); ++i) {
      for (size_t b = 0; b < 4; ++b) text[i * 4 + b] = static_cast<char>((brandRegisters[i] >> (8 * b)) & 0xFFu);
    }
  }
  return std::string(text, strnlen(text, 48));
}

std::string GetCPUName() {
  std::array<uint32_t, 12> registers{};
  uint32_t highest = 0;
#ifdef QV_HAVE_CPUID
  if (IsCPUIDAvailable()) {
    highest = __get_cpuid_max(0x80000000u, nullptr);
    if (highest > 0x80000003u) {
      for (uint32_t leaf = 0; leaf < 3; ++leaf) {
        unsigned a = 0, b = 0, c = 0, d = 0;
        __cpuid(0x80000002u + leaf, a, b, c, d);
        registers[leaf * 4 + 0] = a;
        registers[leaf * 4 + 1] = b;
        registers[leaf * 4 + 2] = c;
        registers[leaf * 4 + 3] = d;
      }
    }
  }
#endif
  return CPUNameFromLeaves(highest, registers);
}

int64_t GetPhysicalMemoryMB() {
  long pages = sysconf(_SC_PHYS_PAGES);
  long pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  return (static_cast<int64_t>(pages) * static_cast<int64_t>(pageSize)) >> 20;
}

int GetProcessorCount() {
  long count = sysconf(_SC_NPROCESSORS_ONLN);
  return count > 0 ? static_cast<int>(count) : 1;
}

}  // namespace qv
