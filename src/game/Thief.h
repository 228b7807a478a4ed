// The thief: a card put on one of the points it guards is stolen, and with it
// up to three cards lying next to it (never those the level dealt itself).
#pragma once

#include <cstdint>

#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv {

// The busy points the thief takes besides the put card, in the order they
// are found: neighbours of the put point first, then onward from the last
// one found, until three or more are collected or none is left. The list may
// hold more than three; only the first three are taken.
TIntegers ThiefVictims(const TGameState& state, int32_t point);

class TThief {
 public:
  TThief(TGameState& state, const TGameServices& services) : S(state), Svc(services) {}

  // The held card was put on one of the thief's points.
  void ThiefStealsCard(int32_t point);

 private:
  TGameState& S;
  const TGameServices& Svc;
};

}  // namespace qv
