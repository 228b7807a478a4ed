// The high-score windows: the table shown in its grid, the name and final
// score entered when the game is complete, and clearing the table.
#pragma once

#include "shell/HighScores.h"

namespace qv {

class TShell;

class TScoreScreens {
 public:
  explicit TScoreScreens(TShell& shell) : Sh(shell) {}

  void Publish();

  void Load();
  void FillGrid();
  void EnterFinalScore();
  void AfterGameComplete();
  void AskClear();
  void Clear();

  THighScores Table;

 private:
  TShell& Sh;
};

}  // namespace qv
