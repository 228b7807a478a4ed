#include "game/GameServices.h"

#include "foundation/Random.h"
#include "foundation/SFunctions.h"

namespace qv {

int32_t TProcessRandom::Random(int32_t m) { return qv::Random(m); }

double TProcessRandom::RandomFloat() { return qv::Random(); }

int32_t TProcessRandom::WeightedRandom(const TIntegers& weights) { return qv::WeightedRandom(weights); }

}  // namespace qv
