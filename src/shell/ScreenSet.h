// Every screen of the game beside the card game itself, made and published
// together when the shell is built: the road between the screens, the
// upgrade window, the game's hint balloons, the options and language
// windows, the high scores and the saved games.
#pragma once

#include "shell/GameHints.h"
#include "shell/OptionsScreen.h"
#include "shell/SaveScreens.h"
#include "shell/ScoreScreens.h"
#include "shell/ScreenRoad.h"
#include "shell/UpgradeScreen.h"

namespace qv {

class TShell;

class TScreenSet {
 public:
  explicit TScreenSet(TShell& shell);

  TSaveScreens Saves;
  TScreenRoad Road;
  TUpgradeScreen Upgrade;
  TGameHints Hints;
  TOptionsScreen Options;
  TScoreScreens Scores;
};

}  // namespace qv
