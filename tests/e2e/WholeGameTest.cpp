// A whole game in the relaxed difficulty, played with the mouse only: the
// introductory level and every level of the map up to the last, the game
// complete, a typed name in the high-score table, which is on disk and in
// the table's grid after the program is started again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "e2e/ClickPlayer.h"
#include "e2e/PlayerShell.h"
#include "foundation/SFunctions.h"
#include "shell/HighScores.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

TEST(WholeGame, EveryLevelThenTheHighScoreTable) {
  ProgramFolder folder("game");
  int32_t finalScore = 0;
  {
    PlayerShell p(folder.Path, 20260);
    p.ClickWidget("WTitle_BNewGame");
    p.ClickWidget("WStartGame_RBNoLose");
    p.ClickWidget("WStartGame_BPlay");
    ASSERT_EQ(p.Top(), "WOverview");
    EXPECT_EQ(p->Game.Game.Mode, dmNoLose);

    ClickPlayer player(p);
    bool upgradeSeen = false;
    player.OnUpgrade = [&] {
      if (upgradeSeen) return;
      upgradeSeen = true;
      p.Rest();
      p.Frames(2);
      EXPECT_EQ(CheckGolden(p, "upgrade"), "");
    };
    TIntegers played;
    for (int level = 0; level < 12 && p.Top() == "WOverview"; ++level) {
      const int32_t current = p->Game.Game.CurLevel;
      SCOPED_TRACE("level " + std::to_string(current));
      played.push_back(current);
      p.ClickWidget("WOverview_BPlay");
      ASSERT_EQ(p.Mode(), gmPlaying);
      ASSERT_TRUE(player.PlayLevel(30 * 60 * 1000)) << "not won after half an hour of play";
      p.ClickWidget("WLevelComplete_BOk");
      ASSERT_EQ(p.Top(), "WBetweenLevel");
      ASSERT_EQ(p.Mode(), gmMap);
      EXPECT_EQ(p.Prop("WBetweenLevel_LDifficulty", "Caption"), p.Prop("WStartGame_RBNoLose", "Caption"));
      p.Frames(80);  // the map opens
      // The last level's map ends the game.
      if (p.Top() == "WGameComplete") break;
      p.ClickWidget("WBetweenLevel_BNextLevel");
    }
    ASSERT_EQ(p.Top(), "WGameComplete");
    // The introductory level, then the map's order to its last level.
    EXPECT_EQ(played.front(), kIntroLevel);
    EXPECT_EQ(played.back(), 4);
    for (int32_t level : played) EXPECT_TRUE(IntInArray(level, p->Game.Game.MapComplete)) << level;
    EXPECT_EQ(played.size(), p->Game.Game.PieceOrder.size()) << "every region of the map";
    EXPECT_GT(player.Puts, 50);
    EXPECT_GT(player.Upgrades, 0) << "a King completes a bonus place";
    // Every upgrade was answered with the drop pack's skill.
    EXPECT_EQ(p->Game.Game.DropPackLevel, player.Upgrades);
    EXPECT_EQ(p->Game.Game.DropPackCapacity, player.Upgrades + 3);
    EXPECT_GT(player.Bonuses, 0) << "bonus cards come and are used";
    EXPECT_TRUE(p.NewLogLines().size() > 0);  // the start-up
    EXPECT_TRUE(p.NewLogLines().empty()) << "nothing went wrong on the way";

    // The relaxed difficulty scores nothing.
    finalScore = p->Game.Game.TotalScore;
    p.ClickWidget("WGameComplete_EName");
    for (size_t n = p.Prop("WGameComplete_EName", "Caption").size(); n > 0; --n) p.Key(vkBack);
    p.Type("Quinn");
    p.Rest();
    p.Frames(2);
    EXPECT_EQ(CheckGolden(p, "game-complete"), "");
    p.ClickWidget("WGameComplete_BOk");
    ASSERT_EQ(p.Top(), "WAfterGameComplete");
    p.ClickWidget("WAfterGameComplete_BOk");
    EXPECT_EQ(p.Top(), "WHighScores");
    EXPECT_EQ(p.Mode(), gmMenus);
    p.ClickWidget("WHighScores_BClose");
    EXPECT_EQ(p.Top(), "WTitle");
    p.ClickWidget("WTitle_BQuit");
    EXPECT_TRUE(p.Ended());
  }
  const THighScores onDisk = LoadHighScores(folder.Path / kHighScoresFileName);
  ASSERT_EQ(onDisk.size(), 1u);
  EXPECT_EQ(onDisk[0], (THighScore{"Quinn", finalScore}));

  PlayerShell again(folder.Path);
  again.ClickWidget("WTitle_BHighScores");
  ASSERT_EQ(again.Top(), "WHighScores");
  const std::vector<std::string> cells = again.GridTexts("WHighScores_GHighScores");
  const auto name = std::find(cells.begin(), cells.end(), "Quinn");
  ASSERT_NE(name, cells.end());
  ASSERT_NE(name + 1, cells.end());
  EXPECT_EQ(*(name + 1), std::to_string(finalScore));
  again.Rest();
  again.Frames(2);
  EXPECT_EQ(CheckGolden(again, "high-scores-after-game"), "");
}

}  // namespace
}  // namespace qv::test
