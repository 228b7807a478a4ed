// The screens driven through the real shell, started headless on the built
// content: the handlers are called by name as the buttons' scripts call
// them, and keys and the wheel arrive as window events.
#include <gtest/gtest.h>

#include <filesystem>

#include "HeadlessShell.h"
#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/StrUtils.h"
#include "shell/SavedGames.h"
#include "shell/ScreenSet.h"

namespace qv::test {
namespace {

class Screens : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Sh = new HeadlessShell("screens"); }
  static void TearDownTestSuite() {
    delete Sh;
    Sh = nullptr;
  }
  void SetUp() override {
    TShell& s = **Sh;
    s.UI->HideModalList();
    s.UI->ShowModal("WTitle");
    s.Game.Game.GameMode = gmMenus;
    s.Game.PauseFlag = false;
    s.Game.HeldCard = -1;
  }

  TShell& S() { return **Sh; }
  TGame& G() { return S().Game.Game; }
  IShellInterface& UI() { return *S().UI; }
  std::string Prop(const std::string& name, const char* prop) { return UI().GetProp(name, prop); }
  bool Visible(const std::string& name) { return SameTextAscii(UI().GetProp(name, "Visible"), "true"); }
  int32_t IntProp(const std::string& name, const char* prop) { return StrToInt(UI().GetProp(name, prop)); }
  void Key(uint16_t key, uint32_t shift) {
    TInputEvent e;
    e.Kind = TEventKind::KeyDown;
    e.Key = key;
    e.Shift = shift;
    S().HandleEvent(e);
  }
  // A new game played up to the start of play on the introductory level.
  void PlayIntroLevel() {
    ASSERT_TRUE(Sh->Call("WStartGame_BPlay_MouseUp"));
    UI().HideModal();
    ASSERT_TRUE(Sh->Call("WOverview_BPlay_MouseUp"));
  }

  static HeadlessShell* Sh;
};
HeadlessShell* Screens::Sh = nullptr;

TEST_F(Screens, EveryHandlerTheInterfaceCallsIsPublished) {
  for (const char* name :
       {"WTitle_BNewGame_MouseUp", "WTitle_BQuit_MouseUp", "WTitle_BLoadGame_MouseUp", "WTitle_BHighScores_MouseUp",
        "WTitle_LOstrandelLink_MouseUp", "AddLogoMouseUp", "WStartGame_RBNormal_MouseUp", "WStartGame_RBHard_MouseUp",
        "WStartGame_RBNoLose_MouseUp", "WStartGame_BPlay_MouseUp", "WStartGame_BBack_MouseUp",
        "WOverview_BPlay_MouseUp", "WGame_BMenu_MouseUp", "WGame_BHelp_MouseUp", "WGame_BQuit_MouseUp",
        "WGame_BMize_MouseUp", "WGame_BQuickSave_MouseUp", "WGame_BUndo_MouseUp", "WGameMenu_BResume_MouseUp",
        "WGameMenu_BQuit_MouseUp", "WHelp_BClose_MouseUp", "WQuit_BCancel_MouseUp", "WExitToMainMenu_BOk_MouseUp",
        "WLevelComplete_BOk_MouseUp", "WGameOver_BOk_MouseUp", "WAbortLevel_BOk_MouseUp",
        "WBetweenLevel_BNextLevel_MouseUp", "WUpgrade_BOk_MouseUp", "WBetweenLevel_BSaveGame_MouseUp",
        "WLoadGame_GFiles_MouseDown", "WSaveGame_GFiles_MouseDown", "WLoadGame_BLoad_MouseUp",
        "WLoadGame_BDelete_MouseUp", "WSaveGame_BSave_MouseUp", "WSaveGame_BDelete_MouseUp", "WReplace_BOk_MouseUp",
        "WDelete_BOk_MouseUp", "WGameComplete_BOk_MouseUp", "WAfterGameComplete_BOk_MouseUp",
        "WClearHighScores_BOk_MouseUp", "WHighScores_BClear_MouseUp", "WOptions_BOk_MouseUp",
        "WOptions_BCancel_MouseUp", "WOptions_SMusicVolume_Change", "WOptions_SSoundVolume_Change",
        "WLanguage_BOk_MouseUp", "YesMouseUp"}) {
    SCOPED_TRACE(name);
    SetUp();
    // Harmless on the title; what counts is that the name is known.
    const std::string n = name;
    if (n == "WTitle_BQuit_MouseUp" || n == "WGameMenu_BQuit_MouseUp" || n == "WGame_BMize_MouseUp") {
      EXPECT_TRUE(S().UI->Exists(n.substr(0, n.size() - 8)));
    } else {
      EXPECT_TRUE(Sh->Call(n));
    }
  }
}

TEST_F(Screens, NewGameStartsTheIntroductoryLevelUnderItsOverview) {
  G().TotalScore = G().PrevScore = 900;
  G().Economy = G().Luck = 2;
  G().MapComplete = {1, 2};
  ASSERT_TRUE(Sh->Call("WTitle_BNewGame_MouseUp"));
  EXPECT_EQ(G().Mode, dmNormal);
  ASSERT_TRUE(Sh->Call("WStartGame_BPlay_MouseUp"));
  EXPECT_EQ(G().CurLevel, kIntroLevel);
  EXPECT_EQ(G().MapLevel, kIntroLevel);
  EXPECT_EQ(G().TotalScore, 0);
  EXPECT_EQ(G().PrevScore, 0);
  EXPECT_EQ(G().Economy + G().Luck + G().AntiSharper + G().DropPackLevel, 0);
  EXPECT_EQ(G().DropPackCapacity, 3);
  EXPECT_TRUE(G().MapComplete.empty());
  EXPECT_EQ(G().IntroFlags, (std::array<bool, 4>{false, false, false, false}));
  EXPECT_EQ(G().GameMode, gmFrozen);  // under the overview until play starts
  EXPECT_EQ(Sh->Top(), "WOverview");
  EXPECT_EQ(Prop("WGame_LDropPackCount", "Caption"), "3");
  UI().HideModal();
  ASSERT_TRUE(Sh->Call("WOverview_BPlay_MouseUp"));
  EXPECT_EQ(G().GameMode, gmPlaying);
  EXPECT_EQ(Sh->Top(), "WGame");
}

TEST_F(Screens, AltEnterDuringPlayPausesBeforeTheSwitch) {
  PlayIntroLevel();
  const int32_t mode = S().Settings.FullScreenMode;
  Key(vkReturn, kAltKey);
  EXPECT_TRUE(S().Game.PauseFlag);
  EXPECT_EQ(S().Settings.FullScreenMode, 1 - mode);
  Key(vkReturn, kAltKey);
  EXPECT_EQ(S().Settings.FullScreenMode, mode);
}

TEST_F(Screens, EscapeOpensTheMenuOnlyWhileTheLevelRuns) {
  PlayIntroLevel();
  S().Game.Level.LevComplete = true;
  Key(vkEscape, 0);
  EXPECT_EQ(Sh->Top(), "WGame");
  EXPECT_EQ(G().GameMode, gmPlaying);

  S().Game.Level.LevComplete = false;
  Key(vkEscape, 0);
  EXPECT_EQ(Sh->Top(), "WGameMenu");
  EXPECT_EQ(G().GameMode, gmFrozen);
  EXPECT_TRUE(S().Game.PauseFlag);
  Key(vkEscape, 0);
  EXPECT_EQ(Sh->Top(), "WGame");
  EXPECT_EQ(G().GameMode, gmPlaying);
}

TEST_F(Screens, CtrlSpaceWithoutClearsLeavesTheBelt) {
  PlayIntroLevel();
  Sh->Clock.Advance(3000);
  S().Update.UpdateFrame(GetTickCount());
  S().Game.Level.BeltClears = 0;
  const size_t cards = S().Game.Level.Belts.at(0).Cards.size();
  Key(vkSpace, kCtrlKey);
  EXPECT_EQ(S().Game.Level.Belts.at(0).Cards.size(), cards);
  EXPECT_EQ(S().Game.Level.BeltClears, 0);
  EXPECT_EQ(G().GameMode, gmPlaying);
}

TEST_F(Screens, TheWheelDoesNothingDuringPlay) {
  namespace fs = std::filesystem;
  const fs::path saves = SavesFolder(S().ProgramFolder);
  for (const char* name : {"wheel-a.sav", "wheel-b.sav"}) AtomicWriteFile(saves / name, std::string_view("x"));
  auto wheel = [&] {
    TInputEvent e;
    e.Kind = TEventKind::MouseWheel;
    e.WheelDelta = -120;
    e.X = 400;
    e.Y = 300;
    S().HandleEvent(e);
  };
  UI().ShowModal("WLoadGame");
  ASSERT_TRUE(Sh->Call("WTitle_BLoadGame_MouseUp"));
  // A click on the list's first row gives it the focus that the wheel needs.
  S().FormMouseDown(0, 0, IntProp("WLoadGame", "Left") + IntProp("WLoadGame_GFiles", "Left") + 10,
                    IntProp("WLoadGame", "Top") + IntProp("WLoadGame_GFiles", "Top") + 5);
  const std::string first = Prop("WLoadGame_ELoadFile", "Caption");
  G().GameMode = gmPlaying;
  wheel();
  EXPECT_EQ(Prop("WLoadGame_ELoadFile", "Caption"), first);
  G().GameMode = gmMenus;
  wheel();
  EXPECT_NE(Prop("WLoadGame_ELoadFile", "Caption"), first);
  for (const char* name : {"wheel-a.sav", "wheel-b.sav"}) fs::remove(saves / name);
}

TEST_F(Screens, SkillHintShowsAfterThePointerRestsHalfASecond) {
  PlayIntroLevel();
  S().ScreenSet->Upgrade.Show();
  ASSERT_EQ(Sh->Top(), "WUpgrade");
  EXPECT_EQ(G().GameMode, gmFrozen);
  EXPECT_EQ(G().UpgradeTime, -1);
  const int32_t x = IntProp("WUpgrade", "Left") + IntProp("WUpgrade_RBSkill2", "Left") + 5;
  const int32_t y = IntProp("WUpgrade", "Top") + IntProp("WUpgrade_RBSkill2", "Top") + 5;
  S().FormMouseMove(0, x, y);
  Sh->Clock.Advance(500);
  S().ScreenSet->Upgrade.UpdateSkillHints();
  EXPECT_FALSE(Visible("WUpgrade_HSkill2"));
  Sh->Clock.Advance(1);
  S().ScreenSet->Upgrade.UpdateSkillHints();
  EXPECT_TRUE(Visible("WUpgrade_HSkill2"));
  EXPECT_EQ(IntProp("WUpgrade_HSkill2", "Left"), IntProp("WUpgrade_RBSkill2", "Left"));
  EXPECT_EQ(IntProp("WUpgrade_HSkill2", "Top"),
            IntProp("WUpgrade_RBSkill2", "Top") - IntProp("WUpgrade_HSkill2", "Height"));
  EXPECT_FALSE(Visible("WUpgrade_HSkill1"));

  // Moving off the button hides its hint.
  S().FormMouseMove(0, 5, 5);
  S().ScreenSet->Upgrade.UpdateSkillHints();
  EXPECT_FALSE(Visible("WUpgrade_HSkill2"));

  for (int i = 1; i <= 4; ++i) UI().SetProp("WUpgrade_RBSkill" + std::to_string(i), "Checked", "false");
  UI().SetProp("WUpgrade_RBSkill4", "Checked", "true");
  const int32_t level = G().DropPackLevel;
  UI().HideModal();
  ASSERT_TRUE(Sh->Call("WUpgrade_BOk_MouseUp"));
  EXPECT_EQ(G().DropPackLevel, level + 1);
  EXPECT_EQ(G().DropPackCapacity, level + 4);
  EXPECT_EQ(G().GameMode, gmPlaying);
}

TEST_F(Screens, GameHintBalloonPointsAtThePlace) {
  EXPECT_EQ(ChooseBalloon(0, 360, 250), TBalloon::RightTop);
  EXPECT_EQ(ChooseBalloon(0, 349, 300), TBalloon::Left);

  PlayIntroLevel();
  UI().SetProp("WGame_Hint2", "Visible", "true");
  S().ScreenSet->Hints.ShowGameHint("WGame_Hint1", 360, 250, 0);
  EXPECT_EQ(Prop("WGame_Hint1", "Picture"), "HintWindowRightTop.png");
  EXPECT_EQ(Prop("WGame_Hint1", "PictureVAlign"), "pvaBottom");
  EXPECT_EQ(IntProp("WGame_Hint1", "Left"), 360 - IntProp("WGame", "Left") - 174);
  EXPECT_EQ(IntProp("WGame_Hint1", "Top"), 250 - IntProp("WGame", "Top") - (IntProp("WGame_Hint1", "Height") - 120));
  EXPECT_TRUE(Visible("WGame_Hint1"));
  EXPECT_FALSE(Visible("WGame_Hint2"));
  // The game's own hints take the same way.
  S().Widgets.ShowGameHint(3, 100, 400, 0);
  EXPECT_EQ(Prop("WGame_Hint3", "Picture"), "HintWindowLeft.png");
  EXPECT_EQ(IntProp("WGame_Hint3", "Top"), 400 - IntProp("WGame", "Top") - 122);
  EXPECT_FALSE(Visible("WGame_Hint1"));
}

TEST_F(Screens, WonLevelOpensTheMapAndSavesAutomatically) {
  PlayIntroLevel();
  const auto autosave = SavesFolder(S().ProgramFolder) / "AutoSave.sav";
  std::filesystem::remove(autosave);
  S().Game.Level.LevComplete = true;
  S().Frame.GameClock = 2000000;
  ASSERT_TRUE(Sh->Call("WLevelComplete_BOk_MouseUp"));
  EXPECT_EQ(G().GameMode, gmMap);
  EXPECT_EQ(G().MapOpenTime, 2001500);
  ASSERT_TRUE(std::filesystem::exists(autosave));
  const std::vector<uint8_t> raw = ReadWholeFile(autosave);
  const std::string bytes(raw.begin(), raw.end());
  const TSaveGame save = ParseSaveGame(bytes, autosave.string(), false);
  EXPECT_EQ(save.LevComplete, true);
  EXPECT_EQ(save.CurLevel, kIntroLevel);
}

TEST_F(Screens, LostLevelGoesBackToTheMapOrTheTitle) {
  PlayIntroLevel();
  G().GameMode = gmFrozen;
  ASSERT_TRUE(Sh->Call("WGameOver_BOk_MouseUp"));
  EXPECT_EQ(G().GameMode, gmMenus);
  EXPECT_EQ(Sh->Top(), "WTitle");

  G().CurLevel = 8;
  G().MapComplete = {1, 8, 9, 3};
  G().TotalScore = 1500;
  G().PrevScore = 1000;
  G().Luck = 3;
  G().PrevLuck = 1;
  G().MapOpenTime = 5;
  ASSERT_TRUE(Sh->Call("WGameOver_BOk_MouseUp"));
  EXPECT_EQ(G().GameMode, gmMap);
  EXPECT_EQ(G().MapComplete, (TIntegers{1, 3}));
  EXPECT_EQ(G().TotalScore, 1000);
  EXPECT_EQ(G().Luck, 1);
  EXPECT_EQ(G().MapOpenTime, -1);
  EXPECT_EQ(Sh->Top(), "WBetweenLevel");
}

TEST_F(Screens, NextLevelAfterAWonLevelChoosesAmongTheNextOnes) {
  G().CurLevel = 2;
  G().MapComplete = {1};
  G().MapNearComplete = {3, 5};
  G().MapOpenTime = 1000;
  G().Economy = 2;
  G().TotalScore = 700;
  ASSERT_TRUE(Sh->Call("WBetweenLevel_BNextLevel_MouseUp"));
  EXPECT_EQ(G().MapComplete, (TIntegers{1, 2}));
  EXPECT_TRUE(G().CurLevel == 3 || G().CurLevel == 5) << G().CurLevel;
  EXPECT_EQ(G().MapLevel, G().CurLevel);
  EXPECT_EQ(G().PrevEconomy, 2);
  EXPECT_EQ(G().PrevScore, 700);
  EXPECT_EQ(Sh->Top(), "WOverview");

  // After a lost level nothing is pending: the same level again.
  G().MapOpenTime = -1;
  G().MapLevel = 3;
  const TIntegers complete = G().MapComplete;
  ASSERT_TRUE(Sh->Call("WBetweenLevel_BNextLevel_MouseUp"));
  EXPECT_EQ(G().CurLevel, 3);
  EXPECT_EQ(G().MapComplete, complete);

  // Winning the map's last level completes the game.
  UI().HideModalList();
  G().CurLevel = 4;
  G().MapOpenTime = 1000;
  ASSERT_TRUE(Sh->Call("WBetweenLevel_BNextLevel_MouseUp"));
  EXPECT_EQ(Sh->Top(), "WGameComplete");
}

}  // namespace
}  // namespace qv::test
