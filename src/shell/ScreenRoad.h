// The road between the screens: the title, the difficulty choice, the level
// overview, the game and its menus, the level's end (won or lost), the
// kingdom map with the between-level window, and the next level. Each
// published handler sets the game mode its screen runs in.
#pragma once

#include <cstdint>
#include <string>

namespace qv {

class TShell;
class TSaveScreens;

class TScreenRoad {
 public:
  TScreenRoad(TShell& shell, TSaveScreens& saves) : Sh(shell), Saves(saves) {}

  // Registers every handler of the road in the shell's table.
  void Publish();

  // The title.
  void NewGameButton();
  void OpenMakersLink();
  void SetDifficulty(int32_t mode);

  // A new game from the introductory level; the start of play on the level shown.
  void NewGame();
  void StartPlay();

  // The game window and its menus.
  void FreezeForMenu();
  void ResumeFromMenu();
  void CloseHelp();
  void CancelQuit();
  void ExitToMainMenu();

  // The level's end and the way on.
  void WonLevel();
  void LostLevel();
  void NextLevel();
  // Lays out the between-level window so that it leaves the current piece
  // of the map free.
  void ShowBetweenLevelScreen();

  // Starts level n (the debug mode's level file named on the command line
  // instead, when there is one).
  void StartLevel(int32_t n);
  // "WGame_LDropPackCount": the free places of the drop pack.
  void UpdateDropPackCount();
  // Makes the whole screen dirty and composes the frame at once.
  void RedrawNow();

 private:
  // The current music fades out; the title music comes in at one of its two
  // openings, chosen at random.
  void ScheduleTitleMusic();

  TShell& Sh;
  TSaveScreens& Saves;
};

}  // namespace qv
