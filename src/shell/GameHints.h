// The game's hint balloons: a hint of the game window shown pointing at a
// place of the screen, in one of four balloons whose tip sits at that place.
#pragma once

#include <cstdint>
#include <string_view>

namespace qv {

class TShell;

// The four balloons; Type 1 to 4 picks one, any other the screen quarter.
enum class TBalloon { LeftTop, RightTop, Left, Right };
TBalloon ChooseBalloon(int type, int32_t x, int32_t y);

class TGameHints {
 public:
  explicit TGameHints(TShell& shell) : Sh(shell) {}

  // Makes the game's hints go through ShowGameHint.
  void Install();

  // Hides the other game hints and shows the named one with its balloon's
  // tip at (x, y); nothing when the hint does not exist.
  void ShowGameHint(std::string_view name, int32_t x, int32_t y, int type);

 private:
  TShell& Sh;
};

}  // namespace qv
