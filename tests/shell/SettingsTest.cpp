#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

#include "foundation/Files.h"
#include "foundation/QelException.h"
#include "platform/ScopedEnv.h"
#include "platform/UserStore.h"
#include "shell/IniFile.h"
#include "shell/Languages.h"
#include "shell/Settings.h"
#include "shell/ShellTempDir.h"

namespace qv::test {
namespace {

std::string ReadText(const std::filesystem::path& p) {
  auto bytes = ReadWholeFile(p);
  return std::string(bytes.begin(), bytes.end());
}

TEST(IniFile, ReadsNumbersAndFallsBackToDefaults) {
  TIniFile ini = TIniFile::FromText(
      "\xEF\xBB\xBF[options]\r\nSoundVolume = abc\r\nMusicVolume=$1F\r\nDebugMode=0x26A\r\nWindowModeX=-12\r\n"
      "ScreenWidth=\r\nPlayerName=  Ann Lee \r\n[Other]\r\nBitsPerPixel=16\r\n");
  EXPECT_EQ(ini.ReadInteger("Options", "SoundVolume", 100), 100);  // not a number
  EXPECT_EQ(ini.ReadInteger("Options", "MusicVolume", 100), 31);
  EXPECT_EQ(ini.ReadInteger("OPTIONS", "debugmode", 0), 618);
  EXPECT_EQ(ini.ReadInteger("Options", "WindowModeX", 0), -12);
  EXPECT_EQ(ini.ReadInteger("Options", "ScreenWidth", 800), 800);       // empty
  EXPECT_EQ(ini.ReadInteger("Options", "BitsPerPixel", 32), 32);        // another section's key
  EXPECT_EQ(ini.ReadInteger("Options", "ScreenHeight", 600), 600);      // missing
  EXPECT_EQ(ini.ReadString("Options", "PlayerName", "Player"), "Ann Lee");
  EXPECT_EQ(ini.ReadInteger("Options", "MusicVolume", 100), 31);
}

TEST(Settings, SaveKeepsWhatTheProgramDoesNotWrite) {
  TempDir dir("settings");
  const auto file = dir.Path / "options.cfg";
  // A missing file gives every default.
  TSettings d = LoadOptions(file);
  EXPECT_EQ(d.ScreenWidth, 800);
  EXPECT_EQ(d.BitsPerPixel, 32);
  EXPECT_EQ(d.SoundVolume, 100);
  EXPECT_EQ(d.PlayerName, "Player");
  EXPECT_FALSE(d.DebugOn());

  AtomicWriteFile(file,
                  "; hand-made\r\n[Options]\r\nScreenWidth=1024\r\nDebugMode=618\r\nSoundVolume=7\r\n\r\n"
                  "[Extra]\r\nKeep=me\r\n");
  TSettings s = LoadOptions(file);
  EXPECT_EQ(s.ScreenWidth, 1024);
  EXPECT_TRUE(s.DebugOn());
  EXPECT_EQ(s.SoundVolume, 7);
  s.SoundVolume = 40;
  s.ScreenWidth = 640;  // read only: never written
  s.PlayerName = "Zoe\nX";
  SaveOptions(file, s);

  const std::string text = ReadText(file);
  EXPECT_NE(text.find("; hand-made\r\n[Options]\r\nScreenWidth=1024\r\nDebugMode=618\r\nSoundVolume=40\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("[Extra]\r\nKeep=me\r\n"), std::string::npos);
  EXPECT_NE(text.find("[Version]\r\nBuild=105\r\n"), std::string::npos);
  TSettings back = LoadOptions(file);
  EXPECT_EQ(back.ScreenWidth, 1024);
  EXPECT_EQ(back.SoundVolume, 40);
  EXPECT_EQ(back.PlayerName, "Zoe X");  // a value stays on its line
  EXPECT_EQ(back.BitsPerPixel, 32);
}

TEST(UserStore, ReadsWritesAndTreatsDamageAsEmpty) {
  TempDir dir("store");
  ScopedEnv xdg("XDG_CONFIG_HOME", dir.Path.string());
  ScopedEnv home("HOME", "/home/someone");
  EXPECT_EQ(TUserStore::DefaultPath(), dir.Path / "quorvane" / "registry");
  ::setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(TUserStore::DefaultPath(), std::filesystem::path("/home/someone/.config/quorvane/registry"));

  TUserStore store(dir.Path / "quorvane" / "registry");
  EXPECT_FALSE(store.ReadString("Software\\Ostrandel\\Quorvane", "LangStr"));
  ASSERT_EQ(store.WriteString("Software\\Ostrandel\\Quorvane", "LangStr", "DEU"), TUserStoreWrite::Written);
  ASSERT_EQ(store.WriteString("Software\\Other", "Odd", "a=b]\n[c\\"), TUserStoreWrite::Written);
  EXPECT_EQ(store.ReadString("software\\ostrandel\\quorvane", "langstr").value_or("?"), "DEU");
  EXPECT_EQ(store.ReadString("Software\\Other", "Odd").value_or("?"), "a=b]\n[c\\");
  ASSERT_EQ(store.WriteString("SOFTWARE\\OSTRANDEL\\QUORVANE", "LANGSTR", "FRA"), TUserStoreWrite::Written);
  EXPECT_EQ(store.ReadString("Software\\Ostrandel\\Quorvane", "LangStr").value_or("?"), "FRA");
  EXPECT_EQ(store.ReadString("Software\\Other", "Odd").value_or("?"), "a=b]\n[c\\");

  // A store cut short keeps its intact lines, and the next write keeps
  // them. The store is only ever replaced whole, so a last line without a
  // line feed is an editor's, read as it stands (also by the next write).
  const std::string good = ReadText(store.File());
  AtomicWriteFile(store.File(), good.substr(0, good.size() - 3));
  EXPECT_EQ(store.ReadString("Software\\Ostrandel\\Quorvane", "LangStr").value_or("?"), "FRA");
  EXPECT_EQ(store.ReadString("Software\\Other", "Odd").value_or("?"), "a=b]\n[c");
  ASSERT_EQ(store.WriteString("Software\\Other", "New", "1"), TUserStoreWrite::Written);
  EXPECT_EQ(store.ReadString("Software\\Ostrandel\\Quorvane", "LangStr").value_or("?"), "FRA");
  AtomicWriteFile(store.File(), std::string("QuorvaneUserStore 1\n[Software\\\\Ostrandel\\\\Quorvane]\nLangStr=DEU"));
  ASSERT_EQ(store.WriteString("Software\\Other", "New", "2"), TUserStoreWrite::Written);
  EXPECT_EQ(ReadLangCode(store), "DEU");
  // A damaged line in the middle costs only itself (a stored backslash is two).
  AtomicWriteFile(store.File(), std::string("QuorvaneUserStore 1\n[Software\\\\Ostrandel\\\\Quorvane]\nbad line\n"
                                            "Odd=\\q\nLangStr=DEU\n[broken\nX=1\n[Software\\\\Other]\nNew=2\n"));
  EXPECT_EQ(store.ReadString("Software\\Ostrandel\\Quorvane", "LangStr").value_or("?"), "DEU");
  EXPECT_FALSE(store.ReadString("Software\\Ostrandel\\Quorvane", "Odd"));
  EXPECT_EQ(store.ReadString("Software\\Other", "New").value_or("?"), "2");
  // A store with CR LF line ends, as an editor on another system writes it, reads whole.
  AtomicWriteFile(store.File(), std::string("QuorvaneUserStore 1\r\n[Software\\\\Ostrandel\\\\Quorvane]\r\nLangStr=FRA\r\n"));
  EXPECT_EQ(store.ReadError(), "");
  EXPECT_EQ(store.ReadString("Software\\Ostrandel\\Quorvane", "LangStr").value_or("?"), "FRA");
  // So does one that an editor began with a UTF-8 byte order mark.
  AtomicWriteFile(store.File(),
                  std::string("\xEF\xBB\xBF" "QuorvaneUserStore 1\n[Software\\\\Ostrandel\\\\Quorvane]\nLangStr=DEU\n"));
  EXPECT_EQ(store.ReadError(), "");
  EXPECT_EQ(store.ReadString("Software\\Ostrandel\\Quorvane", "LangStr").value_or("?"), "DEU");
  // A store that is its header line alone, with no line feed, is empty and whole.
  AtomicWriteFile(store.File(), std::string("QuorvaneUserStore 1"));
  EXPECT_EQ(store.ReadError(), "");
  EXPECT_FALSE(store.ReadString("Software\\Ostrandel\\Quorvane", "LangStr"));
  // A foreign file is an empty store, and the next write replaces it.
  AtomicWriteFile(store.File(), std::string("\0\1garbage", 9));
  EXPECT_FALSE(store.ReadString("Software\\Ostrandel\\Quorvane", "LangStr"));
  EXPECT_EQ(store.ReadError(), "no store header line");
  ASSERT_EQ(store.WriteString("Software\\Ostrandel\\Quorvane", "LangStr", "ENU"), TUserStoreWrite::Written);
  EXPECT_EQ(ReadLangCode(store), "ENU");

  // A folder that cannot be made: the key cannot be opened, which is no error.
  AtomicWriteFile(dir.Path / "file", "x");
  TUserStore blocked(dir.Path / "file" / "quorvane" / "registry");
  EXPECT_EQ(blocked.WriteString("K", "V", "x"), TUserStoreWrite::NoKey);
  EXPECT_NO_THROW(SaveLanguageToReg(blocked, "DEU"));
  EXPECT_EQ(ReadLangCode(blocked), "");
  // A folder in the file's place reads as empty and tells why; a write to it fails without an error.
  TUserStore folder(dir.Path / "quorvane");
  EXPECT_EQ(ReadLangCode(folder), "");
  EXPECT_EQ(folder.ReadError(), "Is a directory");
  EXPECT_NO_THROW(SaveLanguageToReg(folder, "DEU"));

  // A pipe (read without waiting for a writer), a broken link and a file far
  // larger than any store read as empty and tell why; a write replaces them.
  const std::vector<std::pair<std::string, std::function<void(const std::filesystem::path&)>>> odd{
      {"not a regular file", [](const auto& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); }},
      {"a broken symbolic link", [](const auto& f) { std::filesystem::create_symlink(f.string() + ".gone", f); }},
      {"larger than 1 MB", [](const auto& f) { AtomicWriteFile(f, std::string((1 << 20) + 1, 'x')); }},
  };
  ::alarm(30);  // a read that waits on the pipe ends the test instead of hanging it
  for (size_t i = 0; i < odd.size(); ++i) {
    const std::string& why = odd[i].first;
    SCOPED_TRACE(why);
    TUserStore other(dir.Path / ("odd-" + std::to_string(i)));
    odd[i].second(other.File());
    EXPECT_EQ(ReadLangCode(other), "");
    EXPECT_EQ(other.ReadError(), why);
    ASSERT_EQ(other.WriteString("Software\\Ostrandel\\Quorvane", "LangStr", "DEU"), TUserStoreWrite::Written);
    EXPECT_EQ(ReadLangCode(other), "DEU");
    EXPECT_EQ(other.ReadError(), "");
  }
  ::alarm(0);
}

TEST(Languages, ButtonsFollowTheOrderNumbers) {
  // English makes no button; "scn" files and other files are no languages.
  auto b = ScanLanguages({"deu_3.lng", "enu_1.lng", "fra_2.LNG", "fra_4scn.lng", "readme.txt"});
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0].Code, "FRA");
  EXPECT_EQ(b[0].TopOffset, 24);
  EXPECT_EQ(b[1].Code, "DEU");
  EXPECT_EQ(b[1].TopOffset, 48);
  EXPECT_EQ(b[1].LeftOffset, 0);

  // The sixth button (i = 6) starts the second column at the English height.
  auto seven = ScanLanguages({"enu_1.lng", "aaa_2.lng", "bbb_3.lng", "ccc_4.lng", "ddd_5.lng", "eee_6.lng",
                              "fff_7.lng"});
  ASSERT_EQ(seven.size(), 6u);
  EXPECT_EQ(seven[4].Code, "EEE");
  EXPECT_EQ(seven[4].TopOffset, 120);
  EXPECT_EQ(seven[5].Code, "FFF");
  EXPECT_EQ(seven[5].TopOffset, 0);
  EXPECT_EQ(seven[5].LeftOffset, 200);

  EXPECT_TRUE(ScanLanguages({}).empty());
  EXPECT_EQ(LanguageCodeOfButton("WLanguage_RBDEU"), "DEU");
}

TEST(Languages, MissingLanguageFallsBackToEnglish) {
  const std::vector<std::string> names{"deu_3.lng", "enu_1.lng", "Enu_extra.lng"};
  TLanguageChoice deu = ChooseLanguage(names, "deu");
  EXPECT_EQ(deu.Code, "deu");
  EXPECT_FALSE(deu.FellBack);
  EXPECT_EQ(deu.Files, (std::vector<std::string>{"deu_3.lng"}));

  TLanguageChoice missing = ChooseLanguage(names, "ITA");
  EXPECT_EQ(missing.Code, "ENU");
  EXPECT_TRUE(missing.FellBack);
  // Every matching file is applied in turn; the last one counts.
  EXPECT_EQ(missing.Files, (std::vector<std::string>{"enu_1.lng", "Enu_extra.lng"}));

  EXPECT_TRUE(ChooseLanguage({}, "").Files.empty());
  EXPECT_EQ(ChooseLanguage({}, "").Code, "ENU");
}

}  // namespace
}  // namespace qv::test
