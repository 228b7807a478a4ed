// The player's own files and the level and language files, damaged: the real
// shell starts anyway, keeps what was intact, falls back to defaults for the
// rest and goes on running.
#include <gtest/gtest.h>

#include <string>

#include "BadContentBase.h"
#include "BadContentRunner.h"
#include "BadContentShell.h"
#include "foundation/CUnit.h"
#include "foundation/Files.h"
#include "platform/UserStore.h"
#include "shell/HighScores.h"
#include "shell/Languages.h"
#include "shell/Settings.h"

namespace qv::e2e {
namespace {

std::string RandomBytes(size_t n, uint32_t seed) {
  const std::vector<uint8_t> b = Damaged(std::vector<uint8_t>(n), TDamage::Random, seed);
  return std::string(b.begin(), b.end());
}

// A running shell that started and sits on the title.
void ExpectOnTheTitle(TShellOnFolder& shell) {
  shell.Passes(5);
  EXPECT_FALSE(shell->Closing);
  EXPECT_TRUE(shell->Loop.PendingError.empty()) << shell->Loop.PendingError;
  EXPECT_EQ(shell.Top(), "WTitle");
}

TEST(BadPlayerFiles, DamagedOptionsKeepTheReadableSettings) {
  TProgramCopy copy(BaseFolder(), "options");
  const fs::path file = copy.Path / "options.cfg";
  AtomicWriteFile(file, "[Options]\r\nSoundVolume=37\r\n" + RandomBytes(300, 5) +
                            "\r\nPlayerName=Ann\r\nMusicVolume=4x\r\nTurnOffHint=1\r\n[Version]\r\nBuild=1");
  {
    TShellOnFolder shell(copy.Path);
    ExpectOnTheTitle(shell);
    EXPECT_EQ(shell->Settings.SoundVolume, 37);
    EXPECT_EQ(shell->Settings.PlayerName, "Ann");
    EXPECT_EQ(shell->Settings.TurnOffHint, 1);
    EXPECT_EQ(shell->Settings.MusicVolume, TSettings{}.MusicVolume);
  }
  // Saved on the way out: what was readable is still there.
  const TSettings after = LoadOptions(file);
  EXPECT_EQ(after.SoundVolume, 37);
  EXPECT_EQ(after.PlayerName, "Ann");
  EXPECT_EQ(after.TurnOffHint, 1);

  // Nothing readable at all: the defaults.
  AtomicWriteFile(file, RandomBytes(2000, 6));
  TShellOnFolder shell(copy.Path);
  ExpectOnTheTitle(shell);
  EXPECT_EQ(shell->Settings.SoundVolume, TSettings{}.SoundVolume);
  EXPECT_EQ(shell->Settings.PlayerName, TSettings{}.PlayerName);
}

TEST(BadPlayerFiles, DamagedHighScoresKeepTheIntactRows) {
  TProgramCopy copy(BaseFolder(), "scores");
  const fs::path file = copy.Path / "HighScores.dat";
  const std::string bob = EncodeStr(HighScoreLine({"Bob", 300}));
  AtomicWriteFile(file, EncodeStr(HighScoreLine({"Ann", 500})) + "\r\n" + RandomBytes(80, 7) + "\r\n" + bob +
                            "\r\n" + bob.substr(0, bob.size() / 2));
  {
    TShellOnFolder shell(copy.Path);
    ExpectOnTheTitle(shell);
    shell.Press("WTitle_BHighScores_MouseUp");
    // A new score goes into the table and the file is written again.
    shell->Game.Game.TotalScore = 400;
    shell->UI->SetProp("WGameComplete_EName", "Caption", "Cy");
    shell.Press("WGameComplete_BOk_MouseUp");
    shell.Passes(3);
    EXPECT_FALSE(shell->Closing);
  }
  const THighScores table = LoadHighScores(file);
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table[0].Name, "Ann");
  EXPECT_EQ(table[1].Name, "Cy");
  EXPECT_EQ(table[2].Name, "Bob");
  EXPECT_EQ(table[2].Score, 300);

  AtomicWriteFile(file, RandomBytes(3000, 8));
  TShellOnFolder shell(copy.Path);
  ExpectOnTheTitle(shell);
  shell.Press("WTitle_BHighScores_MouseUp");
  shell.Passes(3);
  EXPECT_FALSE(shell->Closing);
}

TEST(BadPlayerFiles, DamagedSavesAreRefusedAndTheGoodOneStillLoads) {
  TProgramCopy copy(BaseFolder(), "saves");
  {
    TShellOnFolder shell(copy.Path);
    ExpectOnTheTitle(shell);
    shell.Press("WTitle_BNewGame_MouseUp");
    shell.Press("WStartGame_BPlay_MouseUp");
    shell.Press("WOverview_BPlay_MouseUp");
    shell.Passes(20);
    shell->Game.Game.TotalScore = 1234;
    shell->UI->SetProp("WSaveGame_ESaveFile", "Caption", "Good");
    shell.Press("WSaveGame_BSave_MouseUp");
  }
  const fs::path good = copy.Path / "saves" / "Good.sav";
  ASSERT_TRUE(fs::exists(good));
  const std::vector<uint8_t> bytes = ReadWholeFile(good);
  const std::vector<uint8_t> cut = Damaged(bytes, TDamage::Truncated, 1);
  const std::vector<uint8_t> noise = Damaged(bytes, TDamage::Random, 2);
  AtomicWriteFile(copy.Path / "saves" / "Cut.sav", cut.data(), cut.size());
  AtomicWriteFile(copy.Path / "saves" / "Noise.sav", noise.data(), noise.size());
  AtomicWriteFile(copy.Path / "saves" / "Empty.sav", "", 0);

  TShellOnFolder shell(copy.Path);
  ExpectOnTheTitle(shell);
  shell.Press("WTitle_BLoadGame_MouseUp");
  for (const char* name : {"Cut", "Noise", "Empty"}) {
    SCOPED_TRACE(name);
    shell->UI->ShowModal("WLoadGame");
    shell->UI->SetProp("WLoadGame_ELoadFile", "Caption", name);
    shell.Press("WLoadGame_BLoad_MouseUp");
    shell.Passes(5);
    EXPECT_FALSE(shell->Closing);
    EXPECT_EQ(shell->Game.Game.TotalScore, 0);
    EXPECT_EQ(shell->Game.Game.GameMode, gmMenus);
  }
  shell->UI->SetProp("WLoadGame_ELoadFile", "Caption", "Good");
  shell.Press("WLoadGame_BLoad_MouseUp");
  shell.Passes(5);
  EXPECT_EQ(shell->Game.Game.TotalScore, 1234);
  EXPECT_EQ(shell.Top(), "WOverview");
  shell.Press("WOverview_BPlay_MouseUp");
  shell.Passes(20);
  EXPECT_FALSE(shell->Closing);
  EXPECT_EQ(shell->Game.Game.GameMode, gmPlaying);
}

// The intro level that a new game loads, damaged in the shipped archive (the
// conversion copies it as it is).
TEST(BadContentLevel, DamagedLevelEndsInAnErrorBoxAndTheLoopGoesOn) {
  for (TDamage d : {TDamage::Missing, TDamage::Truncated, TDamage::Random}) {
    SCOPED_TRACE(DamageName(d));
    TProgramCopy copy(BaseFolder(), std::string("level-") + DamageName(d));
    fs::remove(copy.Path / "temp" / "game.zxc");
    DamageArchiveEntry(copy.Path / "game.zxc", "Level42.xml", d, 3);
    if (HasFatalFailure()) return;
    TShellOnFolder shell(copy.Path);
    ExpectOnTheTitle(shell);
    shell.Press("WTitle_BNewGame_MouseUp");
    shell.Press("WStartGame_BPlay_MouseUp");
    shell.Passes(5);
    // The load stopped with an error box that names the level; the loop
    // goes on, through the play passes of what was built and back on the title.
    const std::string log = ReadText(copy.Path / "Quorvane.log");
    const size_t box = log.rfind("Error box");
    ASSERT_NE(box, std::string::npos) << log;
    EXPECT_NE(log.find("Level42.xml", box), std::string::npos) << log.substr(box);
    shell.Press("WOverview_BPlay_MouseUp");
    shell.Passes(60);
    EXPECT_FALSE(shell->Closing);
    shell->Game.Game.GameMode = gmMenus;
    shell->UI->HideModalList();
    shell->UI->ShowModal("WTitle");
    shell.Passes(5);
    EXPECT_FALSE(shell->Closing);
  }
}

TEST(BadContentLanguage, DamagedLanguageFileLeavesTheInterfaceWorking) {
  for (TDamage d : {TDamage::Missing, TDamage::Truncated, TDamage::Random}) {
    SCOPED_TRACE(DamageName(d));
    TProgramCopy copy(BaseFolder(), std::string("language-") + DamageName(d));
    DamageFile(copy.Path / "lng" / "deu_3.lng", d, 4);
    {
      TUserStore store(copy.Path / "config" / "quorvane" / "registry");
      SaveLanguageToReg(store, "DEU");
    }
    TShellOnFolder shell(copy.Path);
    ExpectOnTheTitle(shell);
    // Back to English: every text of the description and the English file.
    shell->LangCode = "ENU";
    shell->ChangeLanguage();
    shell.Passes(3);
    EXPECT_EQ(shell->UI->GetProp("WTitle_BNewGame", "Caption"), "New game");
    EXPECT_EQ(shell->UI->GetProp("WTitle_BQuit", "Caption"), "Quit");
  }
}

TEST(BadPlayerFiles, DamagedUserStoreKeepsWhatIsIntact) {
  // Cut short or noise: nothing is left to read, the game falls back to English.
  for (TDamage d : {TDamage::Truncated, TDamage::Random}) {
    SCOPED_TRACE(DamageName(d));
    TProgramCopy copy(BaseFolder(), std::string("store-") + DamageName(d));
    const fs::path file = copy.Path / "config" / "quorvane" / "registry";
    {
      TUserStore store(file);
      SaveLanguageToReg(store, "FRA");
    }
    DamageFile(file, d, 9);
    TShellOnFolder shell(copy.Path);
    ExpectOnTheTitle(shell);
    EXPECT_EQ(shell->UI->GetProp("WTitle_BNewGame", "Caption"), "New game");
    // The store is whole again and names the language in use.
    EXPECT_EQ(ReadLangCode(TUserStore(file)), shell->LangCode);
  }
  // A damaged line among intact ones: the language and the other values stay.
  // (The file stores a backslash of a key as two.)
  TProgramCopy copy(BaseFolder(), "store-line");
  const fs::path file = copy.Path / "config" / "quorvane" / "registry";
  fs::create_directories(file.parent_path());
  AtomicWriteFile(file, "QuorvaneUserStore 1\n[Software\\\\Ostrandel\\\\Quorvane]\n" + RandomBytes(40, 10) +
                            "\nLangStr=FRA\n[Software\\\\Ostrandel\\\\Links]\nHome=https://example.org/\n");
  {
    TShellOnFolder shell(copy.Path);
    ExpectOnTheTitle(shell);
    EXPECT_EQ(shell->LangCode, "FRA");
    EXPECT_EQ(shell->UI->GetProp("WTitle_BNewGame", "Caption"), "Nouvelle partie");
    // A change of language rewrites the store.
    shell->LangCode = "DEU";
    SaveLanguageToReg(*shell->Store, shell->LangCode);
  }
  const TUserStore store(file);
  EXPECT_EQ(ReadLangCode(store), "DEU");
  EXPECT_EQ(store.ReadString("Software\\Ostrandel\\Links", "Home").value_or("?"), "https://example.org/");

  // A folder in the store's place: the start goes on with a line that names
  // it, and a change of language is logged, with no error box.
  TProgramCopy folder(BaseFolder(), "store-folder");
  const fs::path blocked = folder.Path / "config" / "quorvane" / "registry";
  fs::create_directories(blocked);
  TShellOnFolder shell(folder.Path);
  ExpectOnTheTitle(shell);
  shell->UI->ShowModal("WLanguage");
  shell->UI->SetProp("WLanguage_RBFRA", "Checked", "true");
  shell.Press("WLanguage_BOk_MouseUp");
  EXPECT_EQ(shell.Top(), "WTitle");
  const std::string log = ReadText(folder.Path / "Quorvane.log");
  EXPECT_NE(log.find("Cannot read the user store " + blocked.string()), std::string::npos) << log;
  EXPECT_NE(log.find("Cannot write the user store " + blocked.string()), std::string::npos) << log;
  EXPECT_EQ(log.find("Error box"), std::string::npos) << log;
}

}  // namespace
}  // namespace qv::e2e
