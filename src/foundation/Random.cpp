#include "foundation/Random.h"

#include <random>

namespace qv {

namespace {
std::mt19937& Engine() {
  static std::mt19937 engine(5489u);
  return engine;
}
}  // namespace

void RandSeed(uint32_t seed) { Engine().seed(seed); }

void Randomize() {
  std::random_device rd;
  Engine().seed(rd());
}

int32_t Random(int32_t m) {
  if (m <= 0) return 0;
  std::uniform_int_distribution<int32_t> dist(0, m - 1);
  return dist(Engine());
}

int64_t RandomInt64(int64_t m) {
  if (m <= 0) return 0;
  std::uniform_int_distribution<int64_t> dist(0, m - 1);
  return dist(Engine());
}

double Random() {
  // 53 random bits: never reaches 1.0.
  uint64_t hi = Engine()(), lo = Engine()();
  uint64_t bits = ((hi << 32) | lo) >> 11;
  return static_cast<double>(bits) * (1.0 / 9007199254740992.0);
}

}  // namespace qv
