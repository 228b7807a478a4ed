#include "game/LevelStart.h"

#include <gtest/gtest.h>

#include "foundation/Files.h"
#include "game/GameFakes.h"

namespace qv::test {
namespace {

std::string Fixture(const std::string& name) {
  const std::vector<uint8_t> bytes = ReadWholeFile(std::string(QUORVANE_FIXTURES) + "/game/" + name);
  return std::string(bytes.begin(), bytes.end());
}

TEST(LevelStart, LoadsTheLevelBehindItsOverview) {
  GameHarness H;
  for (const char* name : {"Level1.xml", "Level2.xml", "BonusPlaceTypes.xml"}) H.Archive.Entries[name] = Fixture(name);
  H.State.Params.GameBornPeriod = 300;
  TLevelLoader loader(H.State, H.Svc);
  ASSERT_TRUE(loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml"));
  H.State.HeldCard = 3;
  H.State.Game.GameMode = gmMap;
  ASSERT_TRUE(StartLevel(H.State, H.Svc, loader, 0));
  EXPECT_EQ(H.State.Level.Picture, "Level1.jpg");
  EXPECT_EQ(H.State.HeldCard, -1);
  EXPECT_EQ(H.State.Game.GameMode, gmFrozen);
  EXPECT_EQ(H.Widgets.Modals, (std::vector<std::string>{"-", "WGame", "WOverview"}));
  ASSERT_EQ(H.Sound.Music.size(), 1u);
  EXPECT_EQ(H.Sound.Music[0], std::make_tuple(std::string("level1.mo3"), 1000, 0, 1000));

  // The debug mode's entry wins over the number.
  ASSERT_TRUE(StartLevel(H.State, H.Svc, loader, 7, "Level2.xml"));
  EXPECT_EQ(H.State.Game.CurLevel, 7);
  EXPECT_EQ(H.State.Level.Picture, "Level2.jpg");

  EXPECT_EQ(LevelFileName(41), "Level42.xml");
  EXPECT_EQ(LevelFileName(INT32_MAX), "Level2147483648.xml");
}

}  // namespace
}  // namespace qv::test
