// The whole road between the screens, walked by a player with the mouse and
// the keyboard only, on the shipped content: every step checks the window
// on top, the game mode and what the log gained. On the way the windows a
// player sees are compared with their golden pictures. The pictures hold
// what runs by the clock (the pointer's animation, the map's pulse), so a
// change to the walk itself asks for scripts/regen-goldens.sh.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "e2e/ClickPlayer.h"
#include "e2e/PlayerShell.h"
#include "foundation/Files.h"
#include "foundation/StrUtils.h"
#include "shell/HighScores.h"
#include "shell/SavedGames.h"
#include "shell/Settings.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

class ScreenRoad : public ::testing::Test {
 protected:
  // The window on top and the game mode after a step, with no line in the
  // log since the last step (every error, error box and failed display
  // switch is logged).
  void Expect(const std::string& top, int32_t mode, const std::string& step) {
    SCOPED_TRACE(step);
    EXPECT_EQ(P->Top(), top);
    EXPECT_EQ(P->Mode(), mode);
    const std::vector<std::string> lines = P->NewLogLines();
    EXPECT_TRUE(lines.empty()) << "the log gained \"" << (lines.empty() ? "" : lines.front()) << "\"";
  }
  // The picture of the window on top, the pointer out of the way.
  void Golden(const std::string& name) {
    P->Rest();
    P->Frames(2);
    EXPECT_EQ(CheckGolden(*P, name), "") << name;
  }
  // Clicks the row of the saves list whose name is name.
  void PickSave(const std::string& window, const std::string& name) {
    const std::string grid = window + "_GFiles";
    const int32_t rowHeight = std::stoi(P->Prop(grid, "RowsHeight"));
    const std::string edit = window == "WLoadGame" ? "WLoadGame_ELoadFile" : "WSaveGame_ESaveFile";
    for (int row = 0; row < 8; ++row) {
      P->ClickWidgetAt(grid, 40, row * rowHeight + rowHeight / 2);
      if (P->Prop(edit, "Caption") == name) return;
    }
    ADD_FAILURE() << "no row " << name << " in " << grid;
  }

  ProgramFolder Folder{"road"};
  std::unique_ptr<PlayerShell> P;
};

TEST_F(ScreenRoad, EveryScreenByMouseAndKeyboard) {
  // A player who has played before: two rows in the high-score table.
  SaveHighScores(Folder.Path / kHighScoresFileName, {{"Ansgar", 5400}, {"Brit", 3100}});
  P = std::make_unique<PlayerShell>(Folder.Path);
  {
    const std::vector<std::string> start = P->NewLogLines();
    ASSERT_FALSE(start.empty());
    EXPECT_EQ(start.back(), "Game Started...");
    for (const std::string& line : start)
      EXPECT_TRUE(line.find("Exception") == std::string::npos && line.find("Error box") == std::string::npos &&
                  !line.starts_with("Error"))
          << line;
  }
  Expect("WTitle", gmMenus, "start-up");
  Golden("title");

  P->ClickWidget("WTitle_BNewGame");
  Expect("WStartGame", gmMenus, "new game");
  EXPECT_TRUE(SameTextAscii(P->Prop("WStartGame_RBNormal", "Checked"), "true"));
  Golden("difficulty");

  P->ClickWidget("WStartGame_BPlay");
  Expect("WOverview", gmFrozen, "difficulty: play");
  EXPECT_EQ((*P)->Game.Game.CurLevel, kIntroLevel);
  EXPECT_EQ((*P)->Game.Game.Mode, dmNormal);
  P->Frames(30);
  Golden("overview");

  P->ClickWidget("WOverview_BPlay");
  Expect("WGame", gmPlaying, "overview: play");

  // The introductory level lets the interface have the pointer only after
  // a first card is taken and put.
  ClickPlayer player(*P);
  ASSERT_TRUE(P->RunUntil(
      [&] {
        player.Act();
        return (*P)->Game.Game.IntroFlags[1] && (*P)->Game.HeldCard < 0;
      },
      60000, 200));
  Expect("WGame", gmPlaying, "first card put");
  P->Frames(50);  // the card has turned
  Golden("play");

  P->ClickWidget("WGame_BMenu");
  Expect("WGameMenu", gmFrozen, "game menu");
  EXPECT_TRUE((*P)->Game.PauseFlag);
  Golden("game-menu");
  P->ClickWidget("WGameMenu_BResume");
  Expect("WGame", gmPlaying, "resume");

  P->ClickWidget("WGame_BHelp");
  Expect("WHelp", gmFrozen, "help");
  P->ClickWidget("WHelp_BClose");
  Expect("WGame", gmPlaying, "help closed");

  P->ClickWidget("WGame_BQuit");
  Expect("WQuit", gmFrozen, "quit question");
  P->ClickWidget("WQuit_BCancel");
  Expect("WGame", gmPlaying, "quit cancelled");

  // The side panel's quick save and the switch of the display.
  P->ClickWidget("WGame_BQuickSave");
  Expect("WGame", gmPlaying, "quick save");
  EXPECT_TRUE(fs::exists(SavesFolder(Folder.Path) / "QuickSave.sav"));
  P->ClickWidget("WGame_BMize");
  Expect("WGame", gmPlaying, "full screen");
  EXPECT_TRUE(P->Display->FullScreen());
  P->ClickWidget("WGame_BMize");
  Expect("WGame", gmPlaying, "window");
  EXPECT_FALSE(P->Display->FullScreen());

  // Escape and the focus freeze the game under its menu as well.
  P->Key(vkEscape);
  Expect("WGameMenu", gmFrozen, "escape");
  P->Key(vkEscape);
  Expect("WGame", gmPlaying, "escape again");
  P->FocusLost();
  Expect("WGameMenu", gmFrozen, "focus lost");
  EXPECT_FALSE((*P)->Idling);
  P->FocusGained();
  EXPECT_TRUE((*P)->Idling);
  P->ClickWidget("WGameMenu_BResume");
  Expect("WGame", gmPlaying, "focus back, resumed");

  ASSERT_TRUE(player.PlayLevel(10 * 60 * 1000)) << "the introductory level is won";
  Expect("WLevelComplete", gmFrozen, "level won");
  Golden("level-complete");

  const fs::path saves = SavesFolder(Folder.Path);
  P->ClickWidget("WLevelComplete_BOk");
  Expect("WBetweenLevel", gmMap, "map opening");
  EXPECT_TRUE(fs::exists(saves / "AutoSave.sav"));
  EXPECT_GT((*P)->Game.Game.MapOpenTime, 0);
  P->Frames(100);  // the map has opened
  EXPECT_EQ((*P)->Game.Game.MapOpenTime, -1);
  EXPECT_EQ((*P)->Game.Game.MapComplete, TIntegers{kIntroLevel});
  Golden("map");

  P->ClickWidget("WBetweenLevel_BMenu");
  Expect("WBetweenLevelMenu", gmMap, "between-level menu");
  P->ClickWidget("WBetweenLevel_BSaveGame");
  Expect("WSaveGame", gmMap, "save game");
  // The list's first name stands in the field: the player wipes it out.
  for (size_t n = P->Prop("WSaveGame_ESaveFile", "Caption").size(); n > 0; --n) P->Key(vkBack);
  P->Type("Walk");
  EXPECT_EQ(P->Prop("WSaveGame_ESaveFile", "Caption"), "Walk");
  Golden("save-game");
  P->ClickWidget("WSaveGame_BSave");
  EXPECT_TRUE(fs::exists(saves / "Walk.sav"));
  Expect("WBetweenLevelMenu", gmMap, "saved");
  P->ClickWidget("WBetweenLevelMenu_BBack");
  Expect("WBetweenLevel", gmMap, "back to the map");

  const int32_t won = (*P)->Game.Game.CurLevel;
  P->ClickWidget("WBetweenLevel_BNextLevel");
  Expect("WOverview", gmFrozen, "next level");
  EXPECT_NE((*P)->Game.Game.CurLevel, won);
  EXPECT_EQ((*P)->Game.Game.MapComplete, TIntegers{won});
  P->ClickWidget("WOverview_BPlay");
  Expect("WGame", gmPlaying, "next level: play");

  // Nobody plays: the cards run out and the level is lost.
  ASSERT_TRUE(P->RunUntil([&] { return P->Mode() == gmLost; }, 20 * 60 * 1000, 40));
  ASSERT_TRUE(P->RunUntil([&] { return P->Top() == "WGameOver"; }, 5000));
  Expect("WGameOver", gmFrozen, "level lost");
  Golden("game-over");
  P->ClickWidget("WGameOver_BOk");
  Expect("WBetweenLevel", gmMap, "back on the map");

  P->ClickWidget("WBetweenLevel_BMenu");
  P->ClickWidget("WBetweenLevelMenu_BLoadGame");
  Expect("WLoadGame", gmMap, "load game");
  PickSave("WLoadGame", "Walk");
  Golden("load-game");
  P->Key(vkReturn);  // Enter loads as the button does
  Expect("WBetweenLevel", gmMap, "loaded");
  EXPECT_EQ((*P)->Game.Game.CurLevel, won);

  // Options: both volumes, full screen on and off again.
  P->ClickWidget("WBetweenLevel_BMenu");
  P->ClickWidget("WBetweenLevelMenu_BOptions");
  Expect("WOptions", gmMap, "options");
  Golden("options");
  const int32_t music = (*P)->Settings.MusicVolume, sound = (*P)->Settings.SoundVolume;
  P->ClickWidgetAt("WOptions_SMusicVolume", 8, P->WidgetRect("WOptions_SMusicVolume").Height() / 2);
  P->ClickWidgetAt("WOptions_SSoundVolume", P->WidgetRect("WOptions_SSoundVolume").Width() / 2,
                   P->WidgetRect("WOptions_SSoundVolume").Height() / 2);
  P->ClickWidget("WOptions_CBFullScreen");
  P->ClickWidget("WOptions_BOk");
  Expect("WBetweenLevelMenu", gmMap, "options taken");
  EXPECT_LT((*P)->Settings.MusicVolume, music);
  EXPECT_LT((*P)->Settings.SoundVolume, sound);
  EXPECT_GT((*P)->Settings.SoundVolume, 0);
  EXPECT_EQ((*P)->Settings.FullScreenMode, 1);
  EXPECT_TRUE(P->Display->FullScreen());
  P->ClickWidget("WBetweenLevelMenu_BOptions");
  P->ClickWidget("WOptions_CBFullScreen");
  P->ClickWidget("WOptions_BOk");
  Expect("WBetweenLevelMenu", gmMap, "window again");
  EXPECT_EQ((*P)->Settings.FullScreenMode, 0);
  EXPECT_FALSE(P->Display->FullScreen());

  P->ClickWidget("WBetweenLevelMenu_BExitToMainMenu");
  Expect("WExitToMainMenu", gmMap, "exit question");
  P->ClickWidget("WExitToMainMenu_BOk");
  Expect("WTitle", gmMenus, "title again");

  // Away from the title and back: the loop rests meanwhile, nothing else.
  P->FocusLost();
  Expect("WTitle", gmMenus, "title without focus");
  EXPECT_FALSE((*P)->Idling);
  P->FocusGained();
  Expect("WTitle", gmMenus, "title with focus");
  EXPECT_TRUE((*P)->Idling);

  // German and back.
  const std::string english = P->Prop("WTitle_BNewGame", "Caption");
  P->ClickWidget("WTitle_BLanguage");
  Expect("WLanguage", gmMenus, "language");
  Golden("language");
  P->ClickWidget("WLanguage_RBDEU");
  P->ClickWidget("WLanguage_BOk");
  Expect("WTitle", gmMenus, "German");
  EXPECT_EQ(P->Prop("WTitle_BNewGame", "Caption"), "Neues Spiel");
  P->ClickWidget("WTitle_BLanguage");
  P->ClickWidget("WLanguage_RBENU");
  P->ClickWidget("WLanguage_BOk");
  Expect("WTitle", gmMenus, "English");
  EXPECT_EQ(P->Prop("WTitle_BNewGame", "Caption"), english);

  P->ClickWidget("WTitle_BHighScores");
  Expect("WHighScores", gmMenus, "high scores");
  Golden("high-scores");
  P->ClickWidget("WHighScores_BClear");
  Expect("WClearHighScores", gmMenus, "clear question");
  P->ClickWidget("WClearHighScores_BOk");
  Expect("WHighScores", gmMenus, "cleared");
  EXPECT_FALSE(fs::exists(Folder.Path / kHighScoresFileName));
  P->ClickWidget("WHighScores_BClose");
  Expect("WTitle", gmMenus, "title at last");

  const int32_t musicChosen = (*P)->Settings.MusicVolume, soundChosen = (*P)->Settings.SoundVolume;
  P->ClickWidget("WTitle_BQuit");
  EXPECT_TRUE(P->Ended());
  EXPECT_FALSE((*P)->Failed);
  P.reset();
  // The shut-down's last word, and the options kept for the next start.
  std::vector<std::string> log;
  {
    std::ifstream in(Folder.Path / "Quorvane.log");
    for (std::string line; std::getline(in, line);) log.push_back(line);
  }
  ASSERT_FALSE(log.empty());
  EXPECT_NE(log.back().find("} Average FPS: "), std::string::npos) << log.back();
  const TSettings kept = LoadOptions(Folder.Path / kOptionsFileName);
  EXPECT_EQ(kept.MusicVolume, musicChosen);
  EXPECT_EQ(kept.SoundVolume, soundChosen);
  EXPECT_EQ(kept.FullScreenMode, 0);
}

}  // namespace
}  // namespace qv::test
