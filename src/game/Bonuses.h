// The actions that move many cards at once, each shown as card flights: the
// bonus cards Crop, Reverse and Pause, the joker's swap flashes, cards flying
// back to the belt, the bonus place (its prompt list, its fill-in and its
// completion by a King), and the two clears of the belt and the drop pack.
#pragma once

#include <cstdint>
#include <string>

#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv {

// Path scripts of card flights, in whole numbers.
// A straight flight of 0.3 s that stops at its end.
std::string StraightPath(TGamePoint from, TGamePoint to);
// Waits at its start, then flies.
std::string WaitThenFlyPath(TGamePoint from, TGamePoint to);
// Flies in and stays at its end.
std::string FlyInPath(TGamePoint from, TGamePoint to);

// The drop pack's place on the screen (right and bottom exclusive).
constexpr TRect kDropPackRect{731, 375, 763, 427};

// The kind of the given suit and rank.
constexpr int32_t KindOf(int suit, int rank) { return suit * 13 + rank; }

class TBonusActions {
 public:
  TBonusActions(TGameState& state, const TGameServices& services) : S(state), Svc(services) {}

  // Where cards fly back to: the belt's path at age 0, rounded; (0, 0) for a
  // level without that belt or a belt without a path.
  TGamePoint BeltStart(int32_t belt = 0) const;

  // The action of a Crop, Reverse or Pause card clicked on a belt.
  void UseBonusCard(int32_t belt, int32_t index);
  // The joker's flashes at the held card just put on a point.
  void StartSwapEffects();
  // A bonus card of the first belt flies back to the belt start.
  void ReturnBeltCardToPack(int32_t index);
  // The held card goes back onto the first belt, ahead of its first card.
  // False (nothing happens) for a level without belts or a belt without a path.
  bool ReturnHeldCard(int32_t card);
  // Fills BonusTargets with the bonus-place positions that take the held card.
  void UpdateBonusPlaceTargets();
  // The fill-in animation of one bonus-place position; position is the
  // place's point minus (16, 25).
  void FlyBonusPlaceCards(int32_t place, TGamePoint position, int32_t start);
  // A King completed the position: every rank flies off, and 200 points.
  void CompleteBonusPlace(int32_t place, TGamePoint position);
  // The caller checks the game mode and the clears left.
  void ClearBelt();
  void ClearDropPack();

  // A card kind picture of the given rank and a random suit.
  std::string RandomSuitPicture(int rank);

 private:
  int32_t Now() const { return Svc.Clock->Now(); }
  void Fly(const std::string& picture, const std::string& script, int32_t start, int32_t lifetime = -1);

  TGameState& S;
  const TGameServices& Svc;
};

}  // namespace qv
