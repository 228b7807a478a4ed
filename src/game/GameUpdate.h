// The per-pass update of the card game by game mode: effects and music
// always; during play the pause bookkeeping, card flashes, belts, timers, the
// sharper, level completion and the target prompt; the lost-level run-out;
// the level-end sweep behind its window; and the kingdom map's opening.
#pragma once

#include <cstdint>

#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv {

// No free neighbour is open ground: every free one lies behind a wall and is
// not the thief's.
bool SharperCornered(const TGameState& state, const TIntegers& neighbours);

class TGameUpdate {
 public:
  TGameUpdate(TGameState& state, const TGameServices& services) : S(state), Svc(services) {}

  void UpdateFrame(int32_t t);
  void UpdateGameEvents(int32_t t);
  void UpdateCardFlashes(int32_t t);
  // A window covers the game: remember when.
  void PauseGameTimers();
  // Shifts every belt card by the paused span.
  void ResumeGameTimers();
  // One try of the sharper: move, lose patience or steal.
  void UpdateSharper(int32_t t);

 private:
  void StealCard(int32_t point, int32_t t);
  void ShowTargetPrompt(int32_t t);
  void UpdateMapOpening(int32_t t);

  TGameState& S;
  const TGameServices& Svc;
};

}  // namespace qv
