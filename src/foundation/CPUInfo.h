// The processor and memory texts of the start-up log.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace qv {

// True when the processor has the identification instruction.
bool IsCPUIDAvailable();

// The text of the brand leaves: up to 48 characters from the registers of
// leaves 0x80000002..0x80000004 (eax, ebx, ecx, edx each), ending at the first
// zero byte; empty unless the highest extended leaf is above 0x80000003.
std::string CPUNameFromLeaves(uint32_t highestExtendedLeaf, const std::array<uint32_t, 12>& brandRegisters);

// The processor's brand text, or empty (no identification instruction, no
// brand leaves, or not an x86 processor).
std::string GetCPUName();

// Physical memory in whole megabytes (bytes shifted right by 20); 0 when unknown.
int64_t GetPhysicalMemoryMB();

// Processors online; at least 1.
int GetProcessorCount();

}  // namespace qv
