// The rule core: the card table, whether a kind may lie on a point, the free
// points and fitting kinds after each change of the table, and the weighted
// choice of the next belt card and of its bonus.
#pragma once

#include <cstdint>

#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv {

// Fills the 52 kinds: index Suit * 13 + Rank, pictures "2_piki.png" .. "A_chervi.png".
void BuildCardTypes(TCardTypes& types);

// Steps between two ranks on the circle of thirteen (Ace and Two are neighbours): 0..6.
int RankDistance(uint8_t a, uint8_t b);

// round(sqrt(dx^2 + dy^2)).
int32_t PointDistance(TGamePoint a, TGamePoint b);

// The first index of the list within 24 pixels of q, else -1.
int32_t FindPointAt(TGamePoint q, const TPoints& list);

// The card's picture: its kind's, or the bonus card's own.
std::string CardPicture(const TGameState& state, const TCard& card);

class TCardRules {
 public:
  TCardRules(TGameState& state, const TGameServices& services) : S(state), Svc(services) {}

  bool PointHasBusyNeighbour(int32_t point) const;
  // A standing (not crashed) wall lists the point among its inner points.
  bool PointBehindStandingWall(int32_t point) const;
  // The point's zone allows the kind's suit and rank.
  bool ZoneAllows(int32_t kind, int32_t point) const;
  bool CardFitsPoint(int32_t kind, int32_t point) const;

  // Rebuilds FreePoints, SuitableKinds and NextButOneKinds.
  void UpdateSuitableCards();
  // Rebuilds TargetPoints for the held card (nothing while none is held).
  void UpdateTargetPoints();

  // A kind 0..51.
  int32_t ChooseNextCard();
  // -1 for a common card, else 1 Crop, 2 Reverse, 3 Pause, 4 Joker; t is the game clock.
  int32_t ChooseCardBonus(int32_t t);
  // Queues a new card on belt b behind its youngest one.
  void BornBeltCard(int32_t belt, int32_t t);

  void MoveCardToMouse(int32_t card);

 private:
  // The rank of the card lying at index into Cards; -1 for a bad index or kind.
  int RankOfCard(int32_t cardIndex) const;
  bool FirstBeltHasCards() const;
  void FillPool(TIntegers& weights, const TKindSet& kinds) const;
  void HalveForTable(TIntegers& weights) const;

  TGameState& S;
  const TGameServices& Svc;
};

}  // namespace qv
