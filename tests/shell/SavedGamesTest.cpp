#include <gtest/gtest.h>

#include "foundation/CUnit.h"
#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"
#include "game/BeltPath.h"
#include "game/GameFakes.h"
#include "shell/SavedGames.h"
#include "shell/ShellTempDir.h"
#include "ui/QelGridCells.h"

namespace qv::test {
namespace {

std::string Fixture(const std::string& name) {
  const std::vector<uint8_t> bytes = ReadWholeFile(std::string(QUORVANE_FIXTURES) + "/game/" + name);
  return std::string(bytes.begin(), bytes.end());
}

std::string ReadText(const std::filesystem::path& p) {
  auto bytes = ReadWholeFile(p);
  return std::string(bytes.begin(), bytes.end());
}

// A game in the middle of Level1.xml: cards on points, on the belt and in
// the drop pack, a crashed wall, skills and map progress.
class SavedGamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"Level1.xml", "Level2.xml", "BonusPlaceTypes.xml", "MapPieces.xml"})
      H.Archive.Entries[name] = Fixture(name);
    H.State.Params.SharperOffset = {3, 4};
    H.State.Params.SharperDelay = 2500;
    H.State.Params.GameBornPeriod = 400;
    ASSERT_TRUE(Loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml"));
    ASSERT_TRUE(Loader.LoadMapPieces("MapPieces.xml"));
    ASSERT_TRUE(Loader.LoadLevel("Level1.xml"));
  }

  void Play() {
    TGame& G = H.State.Game;
    G.TotalScore = 1234;
    G.PrevScore = 1000;
    G.Mode = dmHard;
    G.Economy = 2;
    G.DropPackLevel = 1;
    G.PrevLuck = 3;
    G.MapComplete = {1};
    G.MapNearComplete = {2};
    L().PointsBusy[2] = H.Lay(2, 7);
    TCard packed = MakeCard(12);
    packed.State = csDropPack;
    H.State.Cards.push_back(packed);
    G.DropPack = {static_cast<int32_t>(H.State.Cards.size()) - 1};
    TCard quest = MakeCard(30, btJoker, H.Clock.Now() - 1500);
    quest.QuestCard = true;
    quest.X = 77;
    L().Belts[0].Cards = {MakeCard(5, btNone, H.Clock.Now() - 2000), quest};
    L().Walls[0].Crashed = true;
    L().Walls[0].WallIn.clear();
    L().Walls[0].WallOut.clear();
    L().SharperPoint = 4;
    TCard held = MakeCard(40);
    held.QuestCard = true;
    H.State.Cards.push_back(held);
    H.State.HeldCard = static_cast<int32_t>(H.State.Cards.size()) - 1;
  }

  TLevel& L() { return H.State.Level; }
  std::filesystem::path File(const std::string& name) { return Dir.Path / (name + ".sav"); }

  // Every saved value of the state and the pause, for comparing before and after.
  std::string Snapshot() {
    return FormatSaveGame(H.State) + (H.State.PauseFlag ? "paused" : "running") + IntToStr(H.State.Game.PauseStart) +
           " " + IntToStr(H.State.HeldCard);
  }

  GameHarness H;
  TLevelLoader Loader{H.State, H.Svc};
  TSavedGames Saves{H.State, H.Svc, Loader};
  TempDir Dir{"saves"};
};

TEST_F(SavedGamesTest, WritesTheTagsInOrderEnciphered) {
  H.Clock.Set(2'000'000);
  Play();
  Saves.SaveGame(File("a"));
  EXPECT_TRUE(H.State.PauseFlag);
  EXPECT_EQ(H.State.Game.PauseStart, 2'000'000);

  const std::string bytes = ReadText(File("a"));
  TMemoryStream in(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  EXPECT_FALSE(IsTextStream(in));
  TMemoryStream plain;
  CryptStream(in, plain, kGameDataKey);
  const std::string text(plain.AsStringView());
  EXPECT_EQ(text.substr(0, text.find('\r')),
            "<SaveGameQuorvane Build=\"105\" TotalScore=\"1234\" PrevScore=\"1000\" Mode=\"3\" CurLevel=\"0\" "
            "LevComplete=\"false\">");
  std::vector<size_t> at;
  for (const char* tag : {"<Cards>", "<DropPack>", "<CardsOnLenta>", "<SkillLevels", "<PointsBusy>", "<BPPointsBusy>",
                          "<SharperPtInd>", "<MapComplete>", "<CrashedWalls>", "<MapNearComplete>"}) {
    at.push_back(text.find(tag));
    EXPECT_NE(at.back(), std::string::npos) << tag;
  }
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << text;
  EXPECT_EQ(text.find("<Thief>"), std::string::npos);  // the level has a thief
  EXPECT_NE(text.find("<MapComplete> 1</MapComplete>"), std::string::npos);
  EXPECT_NE(text.find("<Card CType=\"30\" x=\"77\" y=\"0\" State=\"0\" BornTime=\"1500\" BonusType=\"4\" "
                      "QuestCard=\"true\" />"),
            std::string::npos)
      << text;
}

TEST_F(SavedGamesTest, LoadGivesBackTheSavedGame) {
  Play();
  // The newest belt card, born 300 ms before the pause, is near enough that
  // the held card must queue behind it.
  TCard& ahead = L().Belts[0].Cards.back();
  ahead.BornTime = H.Clock.Now() - 300;
  ahead.Spacing = BeltCardSpacing(L().Belts[0]);
  Saves.SaveGame(File("a"));
  EXPECT_EQ(H.State.HeldCard, 7);  // the running game still holds its card
  const std::string saved = FormatSaveGame(H.State);

  // Another game in another level; then the load.
  H.State.Game.CurLevel = 1;
  ASSERT_TRUE(Loader.LoadLevel("Level2.xml"));
  H.State.Game.TotalScore = 5;
  H.State.PauseFlag = false;
  H.Clock.Advance(10'000);
  ASSERT_TRUE(Saves.LoadGame(File("a")));

  EXPECT_TRUE(H.State.PauseFlag);
  EXPECT_EQ(H.State.Game.PauseStart, H.Clock.Now());
  EXPECT_EQ(H.State.HeldCard, -1);
  EXPECT_EQ(H.State.Game.MapLevel, 0);
  EXPECT_EQ(H.State.Game.DropPackCapacity, 4);
  EXPECT_EQ(H.Widgets.Captions["WGame_LDropPackCount"], "3");
  // The belt cards keep their ages relative to the pause.
  ASSERT_EQ(L().Belts[0].Cards.size(), 3u);
  // The held card is the belt's newest card, with the whole path ahead of
  // it: no older than a card born at the pause, and as far behind the card
  // ahead as a born card keeps.
  const TFishkaLenta& belt = L().Belts[0];
  const int32_t spacing = BeltCardSpacing(belt);
  ASSERT_GT(spacing, 0);
  ASSERT_GT(belt.BornPeriod, 0);
  EXPECT_EQ(belt.Cards[2].CType, 40);
  EXPECT_FALSE(belt.Cards[2].QuestCard);
  EXPECT_LT(H.State.Game.PauseStart - belt.Cards[2].BornTime, -spacing);
  EXPECT_EQ(belt.Cards[2].BornTime - belt.Cards[1].BornTime, belt.BornPeriod + 2 * spacing);
  EXPECT_EQ(H.State.Game.PauseStart - belt.Cards[1].BornTime, 300);
  EXPECT_EQ(belt.Cards[1].Spacing, spacing);
  EXPECT_TRUE(L().Walls[0].Crashed);
  EXPECT_TRUE(L().Walls[0].WallIn.empty());
  EXPECT_EQ(L().SharperPos, (TGamePoint{143, 164}));
  EXPECT_EQ(L().SharperFrom, L().SharperPos);
  // MapComplete gains the levels up to the current one in the piece order (1, 0).
  EXPECT_EQ(H.State.Game.MapComplete, (TIntegers{1, 0}));
  H.State.Game.MapComplete = {1};
  EXPECT_EQ(FormatSaveGame(H.State), saved);

  // On an empty belt the held card enters as a card born at the pause: its
  // spacing after it.
  H.State.Cards.push_back(MakeCard(41));
  H.State.HeldCard = static_cast<int32_t>(H.State.Cards.size()) - 1;
  L().Belts[0].Cards.clear();
  Saves.SaveGame(File("b"));
  H.Clock.Advance(10'000);
  ASSERT_TRUE(Saves.LoadGame(File("b")));
  const TCardArray& loaded = L().Belts[0].Cards;  // the load made the belt anew
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].CType, 41);
  EXPECT_EQ(loaded[0].BornTime, H.State.Game.PauseStart + spacing);
}

TEST_F(SavedGamesTest, EmptyDropPackAndPlainTextSaves) {
  Saves.SaveGame(File("a"));
  const std::string bytes = ReadText(File("a"));
  TMemoryStream in(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  TMemoryStream plain;
  CryptStream(in, plain, kGameDataKey);
  std::string text(plain.AsStringView());
  EXPECT_EQ(text.find("DropPack>"), std::string::npos);
  EXPECT_EQ(text.find("CrashedWalls"), std::string::npos);

  // A plain-text file of the same form loads too.
  H.State.Game.DropPack = {0};
  text = ReplaceAll(text, "TotalScore=\"0\"", "TotalScore=\"77\"");
  AtomicWriteFile(File("plain"), text);
  ASSERT_TRUE(Saves.LoadGame(File("plain")));
  EXPECT_TRUE(H.State.Game.DropPack.empty());
  EXPECT_EQ(H.State.Game.TotalScore, 77);
  EXPECT_FALSE(Saves.LoadGame(File("missing")));
}

TEST_F(SavedGamesTest, CompletedLevelLeavesTheLevelAlone) {
  const std::string text =
      "<SaveGameQuorvane TotalScore=\"9\" CurLevel=\"2\" LevComplete=\"true\">\r\n"
      "<Cards><Card CType=\"99\" /></Cards><PointsBusy> 5</PointsBusy><CardsOnLenta />\r\n"
      "<MapComplete> 1</MapComplete><CrashedWalls> 7 0 -1 x</CrashedWalls></SaveGameQuorvane>\r\n";
  AtomicWriteFile(File("done"), EncipherSaveGame(text));
  H.Archive.Entries.erase("Level3.xml");
  H.Archive.Entries.erase("Level42.xml");
  const size_t cards = H.State.Cards.size();
  ASSERT_TRUE(Saves.LoadGame(File("done")));
  EXPECT_TRUE(L().LevComplete);
  EXPECT_EQ(H.State.Cards.size(), cards);
  EXPECT_EQ(L().Points.size(), 6u);
  // Walls beyond the level's are skipped; the good index counts.
  EXPECT_TRUE(L().Walls[0].Crashed);
  // The piece order is 1 0 2: levels 1 and 0 come before level 2.
  EXPECT_EQ(H.State.Game.MapComplete, (TIntegers{1, 0, 2}));
}

TEST_F(SavedGamesTest, DamagedFilesLeaveTheGameAsItWas) {
  Play();
  Saves.SaveGame(File("good"));
  const std::string bytes = ReadText(File("good"));
  TMemoryStream in(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  TMemoryStream plain;
  CryptStream(in, plain, kGameDataKey);
  const std::string good(plain.AsStringView());
  H.State.PauseFlag = false;
  const std::string before = Snapshot();

  const std::vector<std::pair<std::string, std::string>> damage = {
      {"CType=\"7\"", "CType=\"52\""},                       // a card kind outside the table
      {"CType=\"7\"", "CType=\"seven\""},                    // not a number
      {"State=\"0\"", "State=\"9\""},                        //
      {"<DropPack> 6</DropPack>", "<DropPack> 7</DropPack>"},  // no such card
      {"<PointsBusy>", "<PointsBusy> -1"},                   // one point too many
      {"<BPPointsBusy> 2 3 4</BPPointsBusy>", "<BPPointsBusy> 2 3 9</BPPointsBusy>"},
      {"<BPPointsBusy> 2 3 4</BPPointsBusy>", "<BPPointsBusy> 2 3</BPPointsBusy>"},
      {"<PointsBusy> 0 -1 5 1 -1 -1</PointsBusy>", ""},  // the program always writes it
      {"BornTime=\"1500\"", "BornTime=\"1.5\""},
      {"<CardsOnLenta>", "<CardsOnLenta><Card CType=\"-1\" />"},
      {"<SharperPtInd>4</SharperPtInd>", "<SharperPtInd>6</SharperPtInd>"},
      {"Mode=\"3\"", "Mode=\"0\""},
      {"CurLevel=\"0\"", "CurLevel=\"2147483647\""},
      {"<MapComplete> 1</MapComplete>", "<MapComplete> -3</MapComplete>"},
      {"Luck=\"0\"", "Luck=\"-1\""},
      {"SaveGameQuorvane", "SaveGameOther"},
      {"<SaveGameQuorvane", "no tags at all <!-- "},
  };
  for (const auto& [from, to] : damage) {
    ASSERT_NE(good.find(from), std::string::npos) << from << "\n" << good;
    AtomicWriteFile(File("bad"), EncipherSaveGame(ReplaceAll(good, from, to)));
    EXPECT_ANY_THROW(Saves.LoadGame(File("bad"))) << to;
    EXPECT_EQ(Snapshot(), before) << to;
  }
  // A level that cannot be loaded: false, and nothing changed either.
  H.Archive.Entries["Level1.xml"] = "<Level><Points><point X=\"1\"/></Points></Level>";
  EXPECT_FALSE(Saves.LoadGame(File("good")));
  EXPECT_EQ(Snapshot(), before);
}

TEST(SaveFiles, NamesAndPaths) {
  EXPECT_EQ(FilterFileName("my: game?"), "my game");
  EXPECT_EQ(FilterFileName("\"*./:<>?\\|"), "");
  TempDir dir("savenames");
  const auto folder = dir.Path;
  EXPECT_FALSE(SaveFilePath(folder, FilterFileName("?:")));
  EXPECT_FALSE(SaveFilePath(folder, "../x"));
  EXPECT_FALSE(SaveFilePath(folder, "a\\b"));
  std::filesystem::create_directories(folder / "Saves");
  EXPECT_EQ(*SaveFilePath(folder, "QuickSave"), folder / "Saves" / "QuickSave.sav");
  AtomicWriteFile(folder / "Saves" / "b game.sav", "x");
  AtomicWriteFile(folder / "Saves" / "a.sav", "x");
  AtomicWriteFile(folder / "Saves" / "c.SAV", "x");
  AtomicWriteFile(folder / "Saves" / "a.sav.tmp1_1", "x");
  EXPECT_EQ(ListSavedGames(folder), (std::vector<std::string>{"a", "b game"}));
  EXPECT_EQ(SaveListCell("a\"b"), TextCellItem("a\"b"));
}

}  // namespace
}  // namespace qv::test
