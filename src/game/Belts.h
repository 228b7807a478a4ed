// The belt law: how fast each belt's cards age in every phase (rush-in,
// middle, slow-down, Pause, Reverse, level end, lost level), how gaps left by
// taken cards close, and when cards are born, reach the end and are removed.
// A card's place is a function of its age, so every speed change works by
// shifting the cards' entry times (BornTime).
#pragma once

#include <cstdint>

#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv {

class TBelts {
 public:
  TBelts(TGameState& state, const TGameServices& services) : S(state), Svc(services) {}

  // One pass of play (also behind the level-complete window); moves by S.FrameDelta.
  void UpdateBelts(int32_t t);
  // The lost-level run-out: every belt at factor 30, no births.
  void UpdateLostBelts(int32_t t);
  // A card passed the end: the tutorial turns the belt back once, else the level is lost.
  void BeltReachedEnd(int32_t t);
  // No card of the belt is catching up (also true for an empty belt).
  bool BeltSettled(int32_t belt) const;
  // The speed factor of the belt law for this pass (and its side effects on
  // the belt's Reverse end and the tutorial hint).
  double SpeedFactor(TFishkaLenta& belt, int32_t t);

 private:
  // Returns false when the level was lost or the tutorial turned the belt.
  bool UpdateOneBelt(int32_t beltIndex, int32_t t);
  void MarkDirty(const TCard& card, int32_t oldX, int32_t oldY, bool lost);
  void RemoveMarked(int32_t beltIndex, TIntegers& marked);

  TGameState& S;
  const TGameServices& Svc;
};

}  // namespace qv
