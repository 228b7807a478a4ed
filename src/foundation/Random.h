// The one process-wide random generator, seeded once at start-up (or by tests).
#pragma once

#include <cstdint>

namespace qv {

// Seeds the generator; the same seed gives the same sequence.
void RandSeed(uint32_t seed);
// Seeds from the system's entropy source.
void Randomize();
// An integer in 0 .. m-1; 0 when m <= 0.
int32_t Random(int32_t m);
// An integer in 0 .. m-1 for ranges beyond 32 bits; 0 when m <= 0.
int64_t RandomInt64(int64_t m);
// A double in [0, 1).
double Random();

}  // namespace qv
