// The player's hand during play: a left click takes a card from a belt or
// the drop pack, or puts the held card on a map point, the bonus place or
// into the drop pack; a right click returns it to the belt. Every put on a
// point turns enclosed cards, scores, crashes walls, checks the level end and
// castles, runs the point's script and looks for streets.
#pragma once

#include <cstdint>

#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv {

enum class TGameButton { Left, Right, Middle };

class TCardActions {
 public:
  TCardActions(TGameState& state, const TGameServices& services) : S(state), Svc(services) {}

  // The game's part of a mouse click at MousePos; does nothing outside play
  // (game mode 1). The shell offers the click to the interface first.
  void MouseDown(TGameButton button);

  // Simple entry points for players without a mouse: each moves the pointer
  // (and the held card with it) to (x, y) and clicks there. TakeCard and
  // PutCard click left; they tell whether a card is held afterwards /
  // whether the held card left the hand. ReturnCard clicks right where the
  // pointer is and tells whether the card went back.
  bool TakeCard(int32_t x, int32_t y);
  bool PutCard(int32_t x, int32_t y);
  bool ReturnCard();

  // The first born belt card (belt by belt, card by card) whose picture
  // holds (x, y); -1 when none.
  int32_t FindBeltCardAt(TGamePoint at, int32_t& belt) const;
  // Where the held card may go on the map: the first free point within 24
  // pixels of its centre that takes it. A joker found a place gets its kind.
  bool FindTargetPointAt(int32_t card, TGamePoint& position, int32_t& point);
  bool FindBonusPlaceTargetAt(int32_t card, TGamePoint& position, int32_t& place);
  // Returns the held card to the first belt when the pointer is near its path.
  bool ReturnHeldCardIfNear();
  void TakeBeltCard(int32_t belt, int32_t index);
  void CheckLevelEnd();

  void SaveScore() { S.Game.PrevScore = S.Game.TotalScore; }
  void RestoreScore() { S.Game.TotalScore = S.Game.PrevScore; }
  void HideGameHints();

 private:
  int32_t Now() const { return Svc.Clock->Now(); }
  void LeftWithoutCard();
  void LeftWithCard();
  void PutOnPoint(int32_t point, TGamePoint position);
  void PutOnBonusPlace(int32_t place, TGamePoint position);
  void PutIntoDropPack();
  void Missed();
  void UpdateDropPackLabel();
  // The held card's rank fits a busy neighbour by the point's street type.
  bool RankFitsNeighbours(int rank, int32_t point) const;

  TGameState& S;
  const TGameServices& Svc;
};

}  // namespace qv
