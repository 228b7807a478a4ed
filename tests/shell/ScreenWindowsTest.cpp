// The options, language, high-score and saved-game windows driven through
// the real shell started headless, as their buttons' scripts drive them.
#include <gtest/gtest.h>

#include <filesystem>

#include "HeadlessShell.h"
#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/StrUtils.h"
#include "shell/InterfaceBridge.h"
#include "shell/Languages.h"
#include "shell/SavedGames.h"
#include "shell/ScreenSet.h"
#include "ui/QelGrid.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

class Windows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Sh = new HeadlessShell("windows"); }
  static void TearDownTestSuite() {
    delete Sh;
    Sh = nullptr;
  }
  void SetUp() override {
    UI().HideModalList();
    UI().ShowModal("WTitle");
    G().GameMode = gmMenus;
  }

  TShell& S() { return **Sh; }
  TGame& G() { return S().Game.Game; }
  IShellInterface& UI() { return *S().UI; }
  std::string Prop(const std::string& name, const char* prop) { return UI().GetProp(name, prop); }
  bool Is(const std::string& name, const char* prop) { return SameTextAscii(UI().GetProp(name, prop), "true"); }
  fs::path SaveFile(const std::string& name) { return SavesFolder(S().ProgramFolder) / (name + ".sav"); }
  TQelGrid& Grid(const char* name) {
    return dynamic_cast<TQelGrid&>(*dynamic_cast<TInterfaceBridge&>(UI()).Interface.FindWidget(name));
  }
  void PlayIntroLevel() {
    ASSERT_TRUE(Sh->Call("WStartGame_BPlay_MouseUp"));
    UI().HideModal();
    ASSERT_TRUE(Sh->Call("WOverview_BPlay_MouseUp"));
  }

  static HeadlessShell* Sh;
};
HeadlessShell* Windows::Sh = nullptr;

TEST_F(Windows, VolumesActAtOnceAndCancelRestoresThem) {
  ASSERT_TRUE(Sh->Call("WOptions_BCancel_MouseUp"));
  const int32_t saved = S().Settings.MusicVolume;
  UI().SetProp("WOptions_SMusicVolume", "Position", "40");
  ASSERT_TRUE(Sh->Call("WOptions_SMusicVolume_Change"));
  EXPECT_EQ(S().Settings.MusicVolume, 40);
  EXPECT_EQ(S().Audio.MusicVolume(), 40);
  UI().SetProp("WOptions_SSoundVolume", "Position", "25");
  ASSERT_TRUE(Sh->Call("WOptions_SSoundVolume_Change"));
  EXPECT_EQ(S().Audio.SampleVolume(), 25);
  ASSERT_TRUE(Sh->Call("WOptions_BCancel_MouseUp"));
  EXPECT_EQ(S().Settings.MusicVolume, saved);
  EXPECT_EQ(S().Audio.MusicVolume(), saved);
  EXPECT_EQ(Prop("WOptions_SMusicVolume", "Position"), std::to_string(saved));
}

TEST_F(Windows, MusicStartsAgainWhenItsVolumeLeavesZero) {
  ASSERT_FALSE(S().CurrentMusic.empty());
  const TAudioHandle music = GetSoundHandle(S().CurrentMusic, S().SoundList);
  UI().SetProp("WOptions_SMusicVolume", "Position", "0");
  ASSERT_TRUE(Sh->Call("WOptions_SMusicVolume_Change"));
  S().Audio.Stop(music);  // as a piece asked for while silent never started
  UI().SetProp("WOptions_SMusicVolume", "Position", "30");
  ASSERT_TRUE(Sh->Call("WOptions_SMusicVolume_Change"));
  EXPECT_TRUE(S().Audio.IsPlaying(music));
  // Moving between audible volumes does not start the piece over.
  S().Audio.Stop(music);
  UI().SetProp("WOptions_SMusicVolume", "Position", "60");
  ASSERT_TRUE(Sh->Call("WOptions_SMusicVolume_Change"));
  EXPECT_FALSE(S().Audio.IsPlaying(music));
  ASSERT_TRUE(Sh->Call("WOptions_BCancel_MouseUp"));
}

TEST_F(Windows, ColourDepthChangesOnlyInFullScreen) {
  const fs::path options = ResolveNoCase(S().ProgramFolder, "options.cfg");
  ASSERT_EQ(S().Settings.FullScreenMode, 0);
  ASSERT_TRUE(Sh->Call("WOptions_BCancel_MouseUp"));
  UI().SetProp("WOptions_CB32bitColor", "Checked", "false");
  ASSERT_TRUE(Sh->Call("WOptions_BOk_MouseUp"));
  EXPECT_EQ(S().Settings.BitsPerPixel, 32);
  EXPECT_EQ(LoadOptions(options).BitsPerPixel, 32);

  UI().SetProp("WOptions_CBFullScreen", "Checked", "true");
  ASSERT_TRUE(Sh->Call("WOptions_BOk_MouseUp"));
  ASSERT_EQ(S().Settings.FullScreenMode, 1);
  EXPECT_TRUE(Is("WOptions_CB32bitColor", "Visible"));
  UI().SetProp("WOptions_CB32bitColor", "Checked", "false");
  ASSERT_TRUE(Sh->Call("WOptions_BOk_MouseUp"));
  EXPECT_EQ(S().Settings.FullScreenMode, 1);
  EXPECT_EQ(S().Settings.BitsPerPixel, 16);
  EXPECT_EQ(LoadOptions(options).BitsPerPixel, 16);
  EXPECT_EQ(LoadOptions(options).FullScreenMode, 1);

  UI().SetProp("WOptions_CB32bitColor", "Checked", "true");
  UI().SetProp("WOptions_CBFullScreen", "Checked", "false");
  ASSERT_TRUE(Sh->Call("WOptions_BOk_MouseUp"));
  EXPECT_EQ(S().Settings.FullScreenMode, 0);
  EXPECT_EQ(S().Settings.BitsPerPixel, 32);

  // A switch whose settings cannot be saved leaves the display as it is, and
  // the setting then says what the display shows, whether the two agreed
  // before or not.
  fs::remove(options);
  fs::create_directory(options);
  EXPECT_ANY_THROW(S().ChangewindowMode());
  EXPECT_FALSE(S().Display->FullScreen());
  EXPECT_EQ(S().Settings.FullScreenMode, 0);
  S().Settings.FullScreenMode = 1;
  EXPECT_ANY_THROW(S().ChangewindowMode());
  EXPECT_FALSE(S().Display->FullScreen());
  EXPECT_EQ(S().Settings.FullScreenMode, 0);
  fs::remove(options);
}

TEST_F(Windows, LanguageWindowChangesAndStoresTheLanguage) {
  ASSERT_TRUE(UI().Exists("WLanguage_RBFRA"));
  ASSERT_TRUE(UI().Exists("WLanguage_RBDEU"));
  UI().ShowModal("WLanguage");
  UI().SetProp("WLanguage_RBFRA", "Checked", "true");
  ASSERT_TRUE(Sh->Call("WLanguage_BOk_MouseUp"));
  EXPECT_EQ(S().LangCode, "FRA");
  EXPECT_EQ(ReadLangCode(*S().Store), "FRA");
  EXPECT_EQ(Sh->Top(), "WTitle");
  const std::string french = Prop("WTitle_BQuit", "Caption");

  UI().ShowModal("WLanguage");
  UI().SetProp("WLanguage_RBENU", "Checked", "true");
  ASSERT_TRUE(Sh->Call("WLanguage_BOk_MouseUp"));
  EXPECT_EQ(S().LangCode, "ENU");
  EXPECT_EQ(ReadLangCode(*S().Store), "ENU");
  EXPECT_NE(Prop("WTitle_BQuit", "Caption"), french);
  EXPECT_TRUE(Is("WLanguage_RBENU", "Checked"));
}

TEST_F(Windows, FinalScoreEntersTheTableAndTheFile) {
  auto& table = S().ScreenSet->Scores.Table;
  table = {{"A", 900}, {"B", 500}, {"C", 100}};
  G().TotalScore = 500;
  UI().ShowModal("WGameComplete");
  const std::string name = "Ann \"the\";Text=\"best";
  UI().SetProp("WGameComplete_EName", "Caption", name);
  // While the file cannot be written, each OK only tries the write again.
  const fs::path file = ResolveNoCase(S().ProgramFolder, "HighScores.dat");
  fs::create_directory(file);
  EXPECT_ANY_THROW(Sh->Call("WGameComplete_BOk_MouseUp"));
  EXPECT_ANY_THROW(Sh->Call("WGameComplete_BOk_MouseUp"));
  fs::remove(file);
  ASSERT_TRUE(Sh->Call("WGameComplete_BOk_MouseUp"));
  ASSERT_EQ(table.size(), 4u);
  EXPECT_EQ(table[2], (THighScore{name, 500}));
  EXPECT_EQ(S().Settings.PlayerName, name);
  EXPECT_EQ(LoadHighScores(file), table);
  EXPECT_EQ(Sh->Top(), "WAfterGameComplete");
  // The grid shows what the file holds, three cells a row, quotes as U+201D.
  std::string shown, held;
  for (const TCell& cell : Grid("WHighScores_GHighScores").Cells()) shown += Utf16ToUtf8(cell.Text) + "|";
  for (size_t i = 0; i < table.size(); ++i)
    held += std::to_string(i + 1) + "|" + ReplaceAll(table[i].Name, "\"", "\u201D") + "|" +
            std::to_string(table[i].Score) + "|";
  EXPECT_EQ(shown, held);

  ASSERT_TRUE(Sh->Call("WAfterGameComplete_BOk_MouseUp"));
  EXPECT_EQ(Sh->Top(), "WHighScores");
  EXPECT_EQ(G().GameMode, gmMenus);

  ASSERT_TRUE(Sh->Call("WHighScores_BClear_MouseUp"));
  ASSERT_EQ(Sh->Top(), "WClearHighScores");
  UI().HideModal();
  ASSERT_TRUE(Sh->Call("WClearHighScores_BOk_MouseUp"));
  EXPECT_TRUE(table.empty());
  EXPECT_FALSE(fs::exists(ResolveNoCase(S().ProgramFolder, "HighScores.dat")));
  ASSERT_TRUE(Sh->Call("WHighScores_BClear_MouseUp"));
  EXPECT_EQ(Sh->Top(), "WHighScores");

  UI().ShowModal("WGameComplete");
  UI().SetProp("WGameComplete_EName", "Caption", "");
  ASSERT_TRUE(Sh->Call("WGameComplete_BOk_MouseUp"));
  EXPECT_EQ(table.at(0).Name, "Player");
  ASSERT_TRUE(Sh->Call("WClearHighScores_BOk_MouseUp"));
}

TEST_F(Windows, SavingAsksBeforeReplacingAndDeletes) {
  PlayIntroLevel();
  UI().ShowModal("WSaveGame");
  ASSERT_TRUE(Sh->Call("WBetweenLevel_BSaveGame_MouseUp"));
  UI().SetProp("WSaveGame_ESaveFile", "Caption", "my:game?");
  ASSERT_TRUE(Sh->Call("WSaveGame_BSave_MouseUp"));
  EXPECT_TRUE(fs::exists(SaveFile("mygame")));
  EXPECT_EQ(Sh->Top(), "WGame");

  UI().ShowModal("WSaveGame");
  UI().SetProp("WSaveGame_ESaveFile", "Caption", "mygame");
  ASSERT_TRUE(Sh->Call("WSaveGame_BSave_MouseUp"));
  ASSERT_EQ(Sh->Top(), "WReplace");
  G().TotalScore = 4321;
  ASSERT_TRUE(Sh->Call("WReplace_BOk_MouseUp"));
  EXPECT_EQ(Sh->Top(), "WSaveGame");
  const std::vector<uint8_t> raw = ReadWholeFile(SaveFile("mygame"));
  EXPECT_EQ(ParseSaveGame(std::string(raw.begin(), raw.end()), "mygame", false).TotalScore, 4321);

  // A name of filtered characters only, or one leaving the folder, saves nothing.
  for (const char* name : {":?*", ""}) {
    UI().SetProp("WSaveGame_ESaveFile", "Caption", name);
    ASSERT_TRUE(Sh->Call("WSaveGame_BSave_MouseUp"));
    EXPECT_EQ(Sh->Top(), "WSaveGame");
  }
  EXPECT_FALSE(fs::exists(SavesFolder(S().ProgramFolder) / ".sav"));

  UI().SetProp("WSaveGame_ESaveFile", "Caption", "mygame");
  ASSERT_TRUE(Sh->Call("WSaveGame_BDelete_MouseUp"));
  ASSERT_EQ(Sh->Top(), "WDelete");
  ASSERT_TRUE(Sh->Call("WDelete_BOk_MouseUp"));
  EXPECT_EQ(Sh->Top(), "WSaveGame");
  EXPECT_FALSE(fs::exists(SaveFile("mygame")));
  ASSERT_TRUE(Sh->Call("WSaveGame_BDelete_MouseUp"));
  EXPECT_EQ(Sh->Top(), "WSaveGame");
}

TEST_F(Windows, LoadingOpensTheLevelOrTheMap) {
  PlayIntroLevel();
  G().TotalScore = 250;
  ASSERT_TRUE(Sh->Call("WGame_BQuickSave_MouseUp"));
  EXPECT_TRUE(S().Game.PauseFlag);
  ASSERT_TRUE(fs::exists(SaveFile("QuickSave")));

  SetUp();
  G().TotalScore = 7;
  UI().ShowModal("WLoadGame");
  ASSERT_TRUE(Sh->Call("WTitle_BLoadGame_MouseUp"));
  UI().SetProp("WLoadGame_ELoadFile", "Caption", "QuickSave");
  ASSERT_TRUE(Sh->Call("WLoadGame_BLoad_MouseUp"));
  EXPECT_EQ(G().TotalScore, 250);
  EXPECT_EQ(Prop("WGame_LScoreCount", "Caption"), "250");
  EXPECT_EQ(G().GameMode, gmFrozen);
  EXPECT_EQ(Sh->Top(), "WOverview");

  // A finished level opens the map.
  S().Game.Level.LevComplete = true;
  S().ScreenSet->Saves.AutoSave();
  SetUp();
  UI().SetProp("WLoadGame_ELoadFile", "Caption", "AutoSave");
  ASSERT_TRUE(Sh->Call("WLoadGame_BLoad_MouseUp"));
  EXPECT_EQ(G().GameMode, gmMap);
  EXPECT_EQ(Sh->Top(), "WBetweenLevel");

  // A damaged file is refused whole: the game stays as it was.
  AtomicWriteFile(SaveFile("broken"), std::string_view("<SaveGameQuorvane TotalScore=\"x1\"/>"));
  G().TotalScore = 99;
  UI().SetProp("WLoadGame_ELoadFile", "Caption", "broken");
  EXPECT_ANY_THROW(Sh->Call("WLoadGame_BLoad_MouseUp"));
  EXPECT_EQ(G().TotalScore, 99);
  EXPECT_EQ(G().GameMode, gmMap);
  fs::remove(SaveFile("broken"));
}

TEST(DebugMode, KeysAndTheLevelNamedOnTheCommandLine) {
  HeadlessShell sh("debug", "[Options]\r\nDebugMode=618\r\n", {"Level1.xml"});
  TShell& s = *sh;
  ASSERT_TRUE(sh.Call("WStartGame_BPlay_MouseUp"));
  const std::string debugBack = s.Game.Level.BackPicture;
  s.Args.clear();
  ASSERT_TRUE(sh.Call("WStartGame_BPlay_MouseUp"));
  EXPECT_NE(s.Game.Level.BackPicture, debugBack);

  s.UI->HideModal();
  ASSERT_TRUE(sh.Call("WOverview_BPlay_MouseUp"));
  ASSERT_FALSE(s.Game.Level.Belts.empty());
  const double speed = s.Game.Level.Belts[0].CurSpeed;
  TInputEvent e;
  e.Kind = TEventKind::KeyDown;
  e.Key = vkF5;
  s.HandleEvent(e);
  EXPECT_DOUBLE_EQ(s.Game.Level.Belts[0].CurSpeed, speed + 0.5);
  e.Key = vkSpace;
  s.HandleEvent(e);
  EXPECT_TRUE(s.Game.Level.LevComplete);
  EXPECT_EQ(s.Game.Game.GameMode, gmFrozen);
  EXPECT_EQ(sh.Top(), "WLevelComplete");
}

}  // namespace
}  // namespace qv::test
