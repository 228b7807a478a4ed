// The shipped levels, map and bonus places load and play a while.
#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/Files.h"
#include "game/GameFakes.h"
#include "game/GameUpdate.h"
#include "game/LevelLoader.h"

namespace qv::test {
namespace {

TEST(SampleContent, EveryLevelLoadsAndPlays) {
  const std::filesystem::path dir = std::filesystem::path(QUORVANE_FIXTURES) / ".." / ".." / "content";
  if (!std::filesystem::exists(dir / "MapPieces.xml")) GTEST_SKIP() << "no sample content";
  GameHarness H;
  std::vector<std::string> levels;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.size() < 4 || name.substr(name.size() - 4) != ".xml") continue;
    const std::vector<uint8_t> bytes = ReadWholeFile(entry.path());
    H.Archive.Entries[name] = std::string(bytes.begin(), bytes.end());
    if (name.rfind("Level", 0) == 0) levels.push_back(name);
  }
  ASSERT_FALSE(levels.empty());
  TGameParams& p = H.State.Params;
  p.GameBornPeriod = 400;
  p.AccelerationMax = 60;
  p.AccelerationStep = 6;
  TLevelLoader loader(H.State, H.Svc);
  ASSERT_TRUE(loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml"));
  ASSERT_TRUE(loader.LoadMapPieces("MapPieces.xml"));
  EXPECT_FALSE(H.State.Game.PieceOrder.empty());
  for (const std::string& level : levels) {
    SCOPED_TRACE(level);
    ASSERT_NO_THROW(loader.LoadLevel(level));
    const TLevel& L = H.State.Level;
    EXPECT_FALSE(L.Points.empty());
    ASSERT_FALSE(L.Belts.empty());
    EXPECT_GT(L.Belts[0].PathTime, 0);
    EXPECT_FALSE(H.State.FreePoints.empty());
    H.State.Game.GameMode = gmPlaying;
    TGameUpdate update(H.State, H.Svc);
    for (int i = 0; i < 300 && H.State.Game.GameMode == gmPlaying; ++i) {
      update.UpdateFrame(H.Clock.Now());
      H.Clock.Advance(50);
    }
    EXPECT_FALSE(L.Belts[0].Cards.empty());
  }
}

}  // namespace
}  // namespace qv::test
