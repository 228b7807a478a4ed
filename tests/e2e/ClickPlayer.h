// A greedy player whose only way into the game is the mouse: it looks at the
// field as it is drawn (the cards where they are, the points, the drop pack)
// and clicks. With no card in hand it clicks the drop pack's top card when
// it fits somewhere, else the first belt card that fits a free point, is a
// bonus card, or a joker with a place to go. With a card in hand it clicks
// the points that take it in turn, then the bonus place, then the drop
// pack, and gives the card back with a right click when nothing takes it.
// The upgrade window that a completed bonus place opens is answered with
// the drop-pack skill.
#pragma once

#include <cstdint>
#include <functional>

#include "e2e/PlayerShell.h"

namespace qv::test {

class ClickPlayer {
 public:
  explicit ClickPlayer(PlayerShell& shell) : P(shell) {}

  // One move of the hand (one or a few clicks).
  void Act();
  // Plays the level under way until it is won or lost or maxMs of game
  // time passed; a move every actEveryMs. True when the level was won.
  bool PlayLevel(int32_t maxMs, int32_t actEveryMs = 200);

  // Called when the upgrade window is up, before it is answered.
  std::function<void()> OnUpgrade;

  int Takes = 0, Puts = 0, Bonuses = 0, Jokers = 0, Upgrades = 0, Returns = 0;

 private:
  bool Take();
  void Put();

  PlayerShell& P;
};

}  // namespace qv::test
