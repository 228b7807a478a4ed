// What a card put on a point sets off: the turning of enclosed cards, the
// card's score and a quest card's bonus, the crash of walls whose front is
// full, the progress of castles and the streets (runs of four or more cards
// in rank order along a row or a column of points).
#pragma once

#include <cstdint>
#include <string>

#include "game/GameNames.h"
#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv {

// num / den rounded half to even, in integers (den > 0), so that decimal
// factors such as 0.3 round the same way on every compiler.
int32_t RoundRatio(int64_t num, int64_t den);

// Points of a card put on a point: round(Economy x 0.3) + 10, in Hard
// round(Economy x 0.36) + 12; 0 in NoLose.
int32_t CardPoints(int32_t mode, int32_t economy);
// The extra of a quest card: round(Economy x 0.75) + 25, in Hard that x 1.2, rounded.
int32_t QuestPoints(int32_t mode, int32_t economy);
// A card put on the bonus place: round(Economy x 3 x B / 100) + 10, B 12 in Hard, else 10.
int32_t BonusPlacePoints(int32_t mode, int32_t economy);

class TScoring {
 public:
  TScoring(TGameState& state, const TGameServices& services) : S(state), Svc(services) {}

  // The score of the card just put on a point, with the score label.
  void AddCardScore(int32_t card);
  void UpdateScoreLabel();
  // Encloses the put card and its neighbours whose neighbours are all busy.
  void StartCardTurnEffect(int32_t point);
  // Crashes every standing wall whose front holds the point and is full.
  void CheckWallCrash(int32_t point);
  void CheckCastle(int32_t point);
  // Scores every run of four or more through the point.
  void CheckStreets(int32_t point);
  void AddStreetScore(const TIntegers& run);

  // Appends to run the points reached from `from` stepping along X (alongX)
  // or Y, to larger coordinates (forward) or smaller, while the ranks go up
  // (up) or down one at a time.
  void WalkStreet(int32_t from, bool alongX, bool forward, bool up, TIntegers& run) const;

 private:
  int32_t Now() const { return Svc.Clock->Now(); }
  // The card lying on the point, or nullptr.
  TCard* CardOn(int32_t point);
  const TCard* CardOn(int32_t point) const;
  bool AnyNeighbourFree(int32_t point) const;
  void StartTurn(int32_t point, TCard& card);

  TGameState& S;
  const TGameServices& Svc;
};

}  // namespace qv
