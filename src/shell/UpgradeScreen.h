// The upgrade window that opens after a King completes the bonus place: one
// of four skills to raise, chosen with pulsing radio buttons whose hints show
// once the pointer rests on them.
#pragma once

namespace qv {

class TShell;

class TUpgradeScreen {
 public:
  explicit TUpgradeScreen(TShell& shell) : Sh(shell) {}

  void Publish();

  // Freezes the game and opens the window with a skill chosen at random and
  // each skill's next level and gain.
  void Show();
  // Raises the checked skill and goes back to play.
  void Confirm();
  // Each frame while the window is on top.
  void UpdateSkillHints();

 private:
  TShell& Sh;
};

}  // namespace qv
