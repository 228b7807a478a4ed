#include "shell/ScreenSet.h"

namespace qv {

TScreenSet::TScreenSet(TShell& shell)
    : Saves(shell), Road(shell, Saves), Upgrade(shell), Hints(shell), Options(shell), Scores(shell) {
  Saves.Road = &Road;
  Road.Publish();
  Saves.Publish();
  Upgrade.Publish();
  Hints.Install();
  Options.Publish();
  Scores.Publish();
}

}  // namespace qv
