#include <gtest/gtest.h>

#include "foundation/Files.h"
#include "foundation/StrUtils.h"
#include "game/GameFakes.h"
#include "game/LevelLoader.h"

namespace qv::test {
namespace {

std::string Fixture(const std::string& name) {
  const std::vector<uint8_t> bytes = ReadWholeFile(std::string(QUORVANE_FIXTURES) + "/game/" + name);
  return std::string(bytes.begin(), bytes.end());
}

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"Level1.xml", "Level2.xml", "BonusPlaceTypes.xml", "MapPieces.xml"}) {
      H.Archive.Entries[name] = Fixture(name);
    }
    TGameParams& p = H.State.Params;
    p.GameBornPeriod = 300;
    p.ThiefOffset = {5, -7};
    p.SharperOffset = {3, 4};
    p.SharperDelay = 2500;
    auto& c = H.Widgets.Captions;
    c["WResource_LThief"] = "Thief";
    c["WResource_LSharper"] = "Sharper";
    c["WResource_LOverview"] = "Overview ";
    c["WResource_LWall_Gate.png"] = "Gate";
    c["WResource_LBonusPlace2"] = "Ladder";
    c["WResource_LLevel"] = "Level";
    c["WResource_LLevelName1"] = "First";
    H.Surfaces.Sizes["LentaPart.png"] = {20, 12};
    H.Surfaces.Sizes["EndHat.png"] = {40, 20};
    ASSERT_TRUE(Loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml"));
  }

  // Loads Level1.xml with one piece of its text replaced and returns the error text.
  std::string LoadError(const std::string& from, const std::string& to) {
    std::string text = Fixture("Level1.xml");
    EXPECT_NE(text.find(from), std::string::npos) << from;
    H.Archive.Entries["Level1.xml"] = ReplaceAll(text, from, to);
    try {
      Loader.LoadLevel("Level1.xml");
    } catch (const QelException& e) {
      return e.what();
    }
    return "no error";
  }

  GameHarness H;
  TLevelLoader Loader{H.State, H.Svc};
  TLevel& L = H.State.Level;
};

TEST_F(LoaderTest, FullLevel) {
  H.State.Game.IntroFlags = {false, false, false, false};
  // Preset cards: Random(52), then the suit for CardOrder; then one suit per bonus-place position.
  H.Rand.Ints = {7, 2, 30, 1, 3, 0};
  ASSERT_TRUE(Loader.LoadLevel("Level1.xml"));

  EXPECT_EQ(H.State.Game.IntroFlags, (std::array<bool, 4>{true, true, true, true}));
  EXPECT_EQ(L.Picture, "Level1.jpg");
  EXPECT_EQ(L.Music, "level1.mo3");
  EXPECT_EQ(L.BackPicture, "Back1.jpg");
  EXPECT_EQ(L.TimePrompt, 4000);

  ASSERT_EQ(L.Points.size(), 6u);
  EXPECT_EQ(L.Points[2], (TGamePoint{180, 102}));
  EXPECT_EQ(L.NearPoints[4], (TIntegers{1, 3, 5}));
  EXPECT_EQ(L.PointZone, (TIntegers{0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(L.StreetTypes, (TStreetTypes{0, 0, 1, 0, 2, 0}));
  EXPECT_NE(L.PointScripts[4].find("ShowPic"), std::string::npos);
  EXPECT_TRUE(L.PointScripts[0].empty());

  // Preset cards: an Ace of the drawn suit, and a card of any kind.
  EXPECT_EQ(L.PresetPoints, (TIntegers{0, 3}));
  ASSERT_EQ(H.State.Cards.size(), 5u);
  EXPECT_EQ(H.State.Cards[0].CType, 2 * 13 + 12);
  EXPECT_EQ(H.State.Cards[0].X, 84);
  EXPECT_EQ(H.State.Cards[0].Y, 75);
  EXPECT_EQ(H.State.Cards[1].CType, 30);
  EXPECT_EQ(L.PointsBusy, (TIntegers{0, -1, -1, 1, -1, -1}));

  // Bonus place: a Six from "Cards", Aces for the positions it leaves out.
  EXPECT_EQ(L.BonusPlaceX, 600);
  EXPECT_EQ(L.BonusPlaceY, 50);
  EXPECT_EQ(L.BonusPlaceType, 1);
  EXPECT_EQ(L.BPPointsBusy, (TIntegers{2, 3, 4}));
  EXPECT_EQ(H.State.Cards[2].CType, 1 * 13 + 4);
  EXPECT_EQ(H.State.Cards[3].CType, 3 * 13 + 12);
  EXPECT_EQ(H.State.Cards[4].CType, 12);
  EXPECT_EQ(H.State.Cards[3].X, 40 - 16);
  EXPECT_EQ(H.State.Cards[3].Spacing, 65);
  EXPECT_EQ(H.State.Cards[3].BonusType, btNone);

  // Thief: its neighbours, and those of the neighbour to its right on the same row.
  EXPECT_EQ(L.ThiefPoint, 1);
  EXPECT_EQ(L.ThiefPoint2, 2);
  EXPECT_EQ(L.ThiefPoints, (TIntegers{0, 2, 4, 1, 5}));
  EXPECT_EQ(L.ThiefPos, (TGamePoint{145, 93}));
  EXPECT_EQ(L.SharperPoint, 5);
  EXPECT_EQ(L.SharperPrevPoint, -1);
  EXPECT_EQ(L.SharperPos, (TGamePoint{183, 164}));
  EXPECT_EQ(L.SharperFrom, L.SharperPos);
  EXPECT_EQ(L.SharperTime, 1000000 + 2500);

  ASSERT_EQ(L.Zones.size(), 3u);
  EXPECT_EQ(L.Zones[0].Suits.to_ulong(), 0x0Fu);
  EXPECT_EQ(L.Zones[0].Orders.to_ulong(), 0x1FFFu);
  EXPECT_TRUE(L.Zones[1].Wall);
  EXPECT_EQ(L.Zones[1].Orders.to_ulong(), 0x1E00u);
  EXPECT_FALSE(L.Zones[2].Wall) << "only the exact text true counts";

  ASSERT_EQ(L.Belts.size(), 1u);
  const TFishkaLenta& b = L.Belts[0];
  EXPECT_TRUE(b.Path);
  EXPECT_EQ(b.PathLength, 400);
  EXPECT_EQ(b.PathTime, 1000);
  EXPECT_EQ(b.PointStep, 40);
  EXPECT_EQ(b.BornPeriod, 300);
  EXPECT_EQ(b.Speed, 3);
  EXPECT_EQ(b.PartWidth, 20);
  EXPECT_EQ(b.PartHeight, 12);
  EXPECT_EQ(H.State.EndHatPos, (TGamePoint{380, 490}));

  ASSERT_EQ(L.Pictures.size(), 2u);
  EXPECT_FALSE(L.Pictures[0].Visible);
  EXPECT_EQ(L.Pictures[0].ImageTimes, (TIntegers{100, 150}));
  EXPECT_FALSE(L.Pictures[1].SeparateImages);
  EXPECT_EQ(L.Pictures[1].FrameWidth, 64 / 3);
  EXPECT_EQ(L.Pictures[1].FrameHeight, 32 / 2);
  EXPECT_EQ(L.PictureNames, (std::vector<std::string>{"Flag1.png", "Flag2.jpg", "Fire.png", "GateA.png"}));
  EXPECT_EQ(H.Surfaces.Png, (std::vector<std::string>{"Flag1.png", "Fire.png", "GateA.png"}));
  EXPECT_EQ(H.Surfaces.Jpeg, (std::vector<std::string>{"Flag2.jpg"}));
  EXPECT_EQ(H.Screens.Progress, (std::vector<int32_t>{0, 25, 50, 75, 100}));

  ASSERT_EQ(L.Walls.size(), 1u);
  EXPECT_EQ(L.Walls[0].WallIn, (TIntegers{5}));
  EXPECT_EQ(L.Walls[0].WallOut, (TIntegers{3, 4}));
  EXPECT_FALSE(L.Walls[0].Crashed);

  EXPECT_EQ(L.LevelFramesBack, "Glow.jpg");
  ASSERT_EQ(L.LevelFrames.size(), 1u);
  EXPECT_EQ(L.LevelFrames[0].AlphaMax, 200);
  ASSERT_EQ(L.LentaFrames.size(), 2u);
  EXPECT_EQ(L.LentaFrames[1].Color, 65280);

  EXPECT_DOUBLE_EQ(L.SuitableCardProb, 0.5);
  EXPECT_DOUBLE_EQ(L.Suitable2CardProb, 0.25);
  EXPECT_DOUBLE_EQ(L.QuestFishka, 0.05);
  EXPECT_EQ(L.BonusWeights, (TIntegers{10, 11, 5, 3, 100}));
  EXPECT_DOUBLE_EQ(L.CropMultE, 0.5);
  EXPECT_DOUBLE_EQ(L.ReverseMultC, 3.0);
  EXPECT_EQ(L.CriticalTime, 2000);
  EXPECT_DOUBLE_EQ(L.StartPhase, 0.33);
  EXPECT_DOUBLE_EQ(L.EndPhase, 0.8);

  EXPECT_EQ(H.State.FreePoints, (TIntegers{1, 4}));
  EXPECT_TRUE(H.Field.HadDrawText);

  auto& c = H.Widgets.Captions;
  EXPECT_EQ(c["WOverview_LOverview"], "Overview 1");
  EXPECT_EQ(c["WOverview_LCreaturesName"], "Thief, Sharper");
  EXPECT_EQ(c["WOverview_LWallName"], "Gate");
  EXPECT_EQ(c["WOverview_LBonusPlaceName"], "Ladder");
  EXPECT_EQ(c["WOverview_RLLevelName"], "{$80FFFF}Level 0. {/$} First");
  EXPECT_EQ(c["WGame_LScoreCount"], "0");
}

TEST_F(LoaderTest, PlainLevelDefaultsAndFallback) {
  H.Archive.Entries["Level42.xml"] = Fixture("Level2.xml");
  ASSERT_TRUE(Loader.LoadLevel("Level9.xml"));
  EXPECT_EQ(L.Picture, "Level2.jpg");
  EXPECT_EQ(L.ThiefPoint, -1);
  EXPECT_EQ(L.ThiefPoint2, -1);
  EXPECT_TRUE(L.ThiefPoints.empty());
  EXPECT_EQ(L.SharperPoint, -1);
  EXPECT_EQ(H.Widgets.Captions["WOverview_LCreaturesName"], "-");
  EXPECT_EQ(H.Widgets.Captions["WOverview_LWallName"], "-");
  EXPECT_EQ(L.BonusWeights, (TIntegers{0, 0, 0, 0, 0})) << "five weights even without Probabilities";
  EXPECT_TRUE(L.Belts.empty());
  EXPECT_TRUE(L.BPPointsBusy.empty());
  EXPECT_EQ(L.StreetTypes, (TStreetTypes{0, 0}));
  EXPECT_EQ(L.PointZone, (TIntegers{0, 0}));
  EXPECT_EQ(H.State.FreePoints, (TIntegers{1}));
}

TEST_F(LoaderTest, TwoLoadsKeepAndReleasePictures) {
  H.Surfaces.Sizes["Fire.png"] = {30, 30};  // loaded by the shell, not by a level
  ASSERT_TRUE(Loader.LoadLevel("Level1.xml"));
  EXPECT_EQ(H.Surfaces.Png, (std::vector<std::string>{"Flag1.png", "GateA.png"}));

  ASSERT_TRUE(Loader.LoadLevel("Level2.xml"));
  EXPECT_EQ(H.Surfaces.Png, (std::vector<std::string>{"Flag1.png", "GateA.png", "amulet1.png"}))
      << "Flag1.png stays loaded";
  EXPECT_EQ(H.Surfaces.Released, (std::vector<std::string>{"Flag2.jpg", "GateA.png"}));
  EXPECT_TRUE(H.Surfaces.Exists("Fire.png"));
  EXPECT_EQ(H.State.Cards.size(), 1u) << "the first level's cards are gone";
  EXPECT_TRUE(L.Walls.empty());

  ASSERT_TRUE(Loader.LoadLevel("Level1.xml"));
  EXPECT_TRUE(H.Surfaces.Exists("amulet1.png"));
  EXPECT_EQ(H.Surfaces.Released, (std::vector<std::string>{"Flag2.jpg", "GateA.png"}));
}

TEST_F(LoaderTest, BadIndicesAndDivisorsAreRefused) {
  EXPECT_EQ(LoadError("NearPoints=\"1 3\"", "NearPoints=\"1 9\""),
            "Level1.xml: point 0, attribute \"NearPoints\": 9 is not a point of the level");
  EXPECT_EQ(LoadError("NearPoints=\"0 2 4\"", "NearPoints=\"0 x\""),
            "Level1.xml: point 1, attribute \"NearPoints\": 'x' is not a valid integer value");
  EXPECT_EQ(LoadError("Zone=\"1\"", "Zone=\"3\""), "Level1.xml: point 2, attribute \"Zone\": 3 is not a zone of the level");
  EXPECT_EQ(LoadError("<Thief Point=\"1\"/>", "<Thief Point=\"6\"/>"),
            "Level1.xml: Thief, attribute \"Point\": 6 is not a point of the level");
  EXPECT_EQ(LoadError("<Sharper Point=\"5\"/>", "<Sharper Point=\"-1\"/>"),
            "Level1.xml: Sharper, attribute \"Point\": -1 is not a point of the level");
  EXPECT_EQ(LoadError("CardOrder=\"12\"", "CardOrder=\"13\""), "Level1.xml: point 0, attribute \"CardOrder\": must lie in 0..12");
  EXPECT_EQ(LoadError("Origin=\"10\"", "Origin=\"1000\""), "Level1.xml: point 0, attribute \"Origin\": must lie in 0..999");
  EXPECT_EQ(LoadError("WallIn=\"22\"", "WallIn=\"23\""), "Level1.xml: Wall 0, attribute \"WallIn\": origin 23 names no point");
  EXPECT_EQ(LoadError("WallOut=\"20 21\"", "WallOut=\"20 5000\""),
            "Level1.xml: Wall 0, attribute \"WallOut\": origin 5000 names no point");
  EXPECT_EQ(LoadError("Type=\"1\"", "Type=\"2\""), "Level1.xml: BonusPlace, attribute \"Type\": 2 is not a bonus-place type");
  EXPECT_EQ(LoadError("Cards=\"5\"", "Cards=\"5 14\""), "Level1.xml: BonusPlace, attribute \"Cards\": 14 is above 13 (Ace)");
  EXPECT_EQ(LoadError("PointsBetween=\"10\"", "PointsBetween=\"401\""),
            "Level1.xml: Belt 0, attribute \"PointsBetween\": must lie in 1..the path length");
  EXPECT_EQ(LoadError("PointsBetween=\"10\"", "PointsBetween=\"0\""),
            "Level1.xml: Belt 0, attribute \"PointsBetween\": must lie in 1..the path length");
  EXPECT_EQ(LoadError("(400, 500);", "(0, 500);"), "Level1.xml: Belt 0, attribute \"Path\": the path has no length");
  EXPECT_EQ(LoadError("Set Timing 1;", "Set Timing 10001;"),
            "Level1.xml: Belt 0, attribute \"Path\": the path takes longer than 10000000 ms");
  EXPECT_EQ(LoadError("FramesPerLine=\"3\"", "FramesPerLine=\"0\""),
            "Level1.xml: Picture Fire, attribute \"FramesPerLine\": must be above 0");
  EXPECT_EQ(LoadError("<Image Name=\"Fire.png\" t=\"50\"/>", ""),
            "Level1.xml: Picture Fire, attribute \"Image\": a frame strip needs an image");
  EXPECT_EQ(LoadError("Origin=\"11\" X=\"140\"", "Origin=\"11\""), "Level1.xml: point 1, attribute \"X\": missing");
  EXPECT_EQ(LoadError("<Level Picture=\"Level1.jpg\"", "<Level"), "Level1.xml: Level, attribute \"Picture\": missing");
  EXPECT_EQ(LoadError("TimePrompt=\"4000\"", "TimePrompt=\"4s\""),
            "Level1.xml: Level, attribute \"TimePrompt\": '4s' is not a valid integer value");
}

TEST_F(LoaderTest, FileWithoutTags) {
  H.Archive.Entries["Level1.xml"] = "just text";
  try {
    Loader.LoadLevel("Level1.xml");
    FAIL() << "no error";
  } catch (const QelException& e) {
    EXPECT_STREQ(e.what(), "Level1.xmlXML file does not has tags!");
  }
  H.Archive.Entries["MapPieces.xml"] = "";
  EXPECT_THROW(Loader.LoadMapPieces("MapPieces.xml"), QelException);
  EXPECT_THROW(Loader.LoadBonusPlaceTypes("Missing.xml"), Exception);
}

TEST_F(LoaderTest, MapPiecesAndBonusPlaceTypes) {
  ASSERT_TRUE(Loader.LoadMapPieces("MapPieces.xml"));
  const TGame& G = H.State.Game;
  EXPECT_EQ(G.MapBackPicture, "MapBack.jpg");
  ASSERT_EQ(G.MapPlaces.size(), 3u);
  EXPECT_EQ(G.MapPlaces[1].x, 30);
  EXPECT_EQ(G.MapPlaces[1].Near, (TIntegers{0, 2}));
  EXPECT_EQ(G.PieceOrder, (TIntegers{1, 0, 2}));

  ASSERT_EQ(H.State.BonusPlaceTypes.size(), 2u);
  EXPECT_EQ(H.State.BonusPlaceTypes[1].Type, 1);
  EXPECT_EQ(H.State.BonusPlaceTypes[1].Points.size(), 3u);
  EXPECT_EQ(H.State.BonusPlaceTypes[0].Points[0], (TGamePoint{10, 20}));
  EXPECT_EQ(H.State.BonusPlaceTypes[0].PictureCardBack, "BPCard.png");

  const std::string map = Fixture("MapPieces.xml");
  H.Archive.Entries["MapPieces.xml"] = ReplaceAll(map, "Near=\"1 3\"", "Near=\"1 4\"");
  EXPECT_THROW(Loader.LoadMapPieces("MapPieces.xml"), QelException);
  H.Archive.Entries["MapPieces.xml"] = ReplaceAll(map, "2 1 3", "2 0 3");
  try {
    Loader.LoadMapPieces("MapPieces.xml");
    FAIL() << "no error";
  } catch (const QelException& e) {
    EXPECT_STREQ(e.what(), "MapPieces.xml: PieceOrder: 0 is not a piece number");
  }
}

TEST(PointLists, AddDeleteFind) {
  TPoints list;
  AddPoint(list, {1, 2});
  AddPoint(list, {3, 4});
  AddPoint(list, {1, 2});
  EXPECT_EQ(FindPoint({1, 2}, list), 0);
  EXPECT_EQ(FindPoint({5, 5}, list), -1);
  DeletePoint(list, 0);
  DeletePoint(list, 7);
  EXPECT_EQ(list, (TPoints{{3, 4}, {1, 2}}));
}

}  // namespace
}  // namespace qv::test
