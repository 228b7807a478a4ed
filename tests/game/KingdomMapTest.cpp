#include <gtest/gtest.h>

#include "EngineCanvas.h"
#include "FieldFakes.h"
#include "foundation/QelException.h"
#include "game/GameFakes.h"
#include "game/KingdomMap.h"

namespace qv::test {
namespace {

constexpr int32_t kNow = 1000000;

// A piece map of two pieces: red on the left (x < 80), blue on the right
// (x >= 100, rows 20..79) with softer edges, black between them.
class MapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    H.Clock.Set(kNow);
    E.MakePicture("Map.png", 200, 100, true, [](int x, int y) {
      if (x < 80) return Rgba{255, 0, 0, 255};
      if (x >= 100 && y >= 20 && y < 80) return Rgba{0, 0, 255, static_cast<uint8_t>(x == 100 ? 128 : 255)};
      return Rgba{0, 0, 0, 0};
    });
    E.MakePicture("MapComplete.jpg", 200, 100, false, [](int, int) { return Rgba{200, 180, 20}; });
    E.MakePicture("MapOutlines.png", 200, 100, true, [](int x, int y) {
      const bool border = x == 0 || x == 79 || y == 0 || y == 99 || x == 100 || x == 199 || y == 20 || y == 79;
      return Rgba{0, 0, 0, static_cast<uint8_t>(border ? 255 : 0)};
    });
    E.MakePicture("particle2.png", 6, 6, true, [](int, int) { return Rgba{0, 255, 0, 255}; });
    E.MakePicture("particle3.png", 2, 2, true, [](int, int) { return Rgba{255, 0, 255, 255}; });
    for (const char* name : {"TempMapSel", "TempMapSelC", "Background"}) E.Canvas().CreateSurface(name, 200, 100);
    TGame& G = H.State.Game;
    G.MapPlaces.resize(2);
    G.MapPlaces[0].x = 20;
    G.MapPlaces[0].y = 50;
    G.MapPlaces[1].x = 150;
    G.MapPlaces[1].y = 50;
    G.PieceOrder = {0, 1};
    Map.Styles = {TMapPathStyle{0, 128, 256, 200, 0xFFFFFF}, TMapPathStyle{0, 128, 256, 255, 0xFF},
                  TMapPathStyle{}, TMapPathStyle{}};
  }

  GameHarness H;
  EngineCanvas E;
  TKingdomMap Map{H.State, H.Svc, E.Canvas()};
};

TEST_F(MapTest, PieceMasksFromTheColourMap) {
  Map.PrepareMapPieces();
  const TMapPlace& a = H.State.Game.MapPlaces[0];
  const TMapPlace& b = H.State.Game.MapPlaces[1];
  EXPECT_EQ(a.Bounds, (TRect{0, 0, 79, 99}));
  EXPECT_EQ(b.Bounds, (TRect{100, 20, 199, 79}));
  ASSERT_EQ(a.Mask.size(), 80u * 100u);
  ASSERT_EQ(b.Mask.size(), 100u * 60u);
  EXPECT_EQ(a.Mask[0], 255);
  EXPECT_EQ(b.Mask[0], 255) << "the colour decides, not the alpha";
  EXPECT_EQ(E.Pixel("TempMapSel", 10, 10).R, 200) << "the finished map is copied in";

  // A place on no piece gets an empty mask, not a negative one.
  H.State.Game.MapPlaces[1].x = 500;
  Map.PrepareMapPieces();
  EXPECT_TRUE(H.State.Game.MapPlaces[1].Mask.empty());
}

TEST_F(MapTest, CompletedPiecesAndTheNextLevel) {
  TGame& G = H.State.Game;
  G.CurLevel = 0;
  G.MapNearComplete = {7};
  Map.ComposeMapPicture();
  EXPECT_EQ(G.MapNearComplete, (TIntegers{1})) << "with nothing completed the next level is still offered";
  EXPECT_EQ(E.Alpha("MapComplete.jpg", 150, 50), 0);

  G.MapComplete = {1, 9};  // 9 lies outside the map and is passed over
  G.CurLevel = 1;
  Map.ComposeMapPicture();
  EXPECT_TRUE(G.MapNearComplete.empty()) << "the last level offers none";
  EXPECT_EQ(E.Alpha("MapComplete.jpg", 150, 50), 255);
  EXPECT_LT(E.Alpha("MapComplete.jpg", 100, 50), 130) << "soft edges from the piece map's alpha";
  EXPECT_EQ(E.Alpha("MapComplete.jpg", 20, 50), 0);
}

TEST_F(MapTest, SelectionHighlightsTheCurrentPiece) {
  Map.PrepareMapPieces();
  TGame& G = H.State.Game;
  G.MapLevel = 1;
  Map.ComposeMapSelection();
  EXPECT_EQ(E.Alpha("TempMapSel", 150, 50), 255);
  EXPECT_EQ(E.Alpha("TempMapSel", 20, 50), 0);
  EXPECT_EQ(E.Alpha("TempMapSel", 150, 10), 0);
  EXPECT_EQ(E.Alpha("TempMapSelC", 150, 50), 0) << "inside the piece: no border";
  EXPECT_GT(E.Alpha("TempMapSelC", 150, 20), 0) << "its border";
  // The tint covers the inclusive bounds (100, 20)-(199, 79) up to the last
  // column and row, and nothing outside them.
  const uint8_t tinted = E.Pixel("TempMapSelC", 150, 50).R;
  EXPECT_GT(tinted, 150);
  for (auto [x, y] : {std::pair{100, 20}, {199, 50}, {150, 79}, {199, 79}})
    EXPECT_EQ(E.Pixel("TempMapSelC", x, y).R, tinted) << x << "," << y;
  for (auto [x, y] : {std::pair{99, 50}, {150, 19}, {150, 80}})
    EXPECT_EQ(E.Pixel("TempMapSelC", x, y).R, 0) << x << "," << y;

  G.MapLevel = 5;
  Map.ComposeMapSelection();
  G.MapLevel = -1;
  Map.ComposeMapSelection();
  EXPECT_EQ(E.Pixel("TempMapSelC", 150, 20).R, 0);
}

TEST_F(MapTest, MapScreenJoinsTheNextPiecesWithDots) {
  Map.PrepareMapPieces();
  TGame& G = H.State.Game;
  G.MapBackPicture = "MapBack.jpg";
  G.MapLevel = 0;
  Map.DrawMapScreen();
  EXPECT_EQ(E.Pixel("Background", 150, 50).G, 0) << "only in map mode";

  G.GameMode = gmMap;
  Map.DrawMapScreen();
  EXPECT_EQ(E.Pixel("Background", 150, 50).G, 255) << "the next piece's marker";
  const Rgba dot = E.Pixel("Background", 33, 50);
  EXPECT_EQ((std::tuple{dot.R, dot.G, dot.B}), (std::tuple{255, 0, 255})) << "the first dot 13 pixels on";
  EXPECT_EQ(E.Pixel("Background", 20, 50).R, 0) << "no dot on the start";

  G.PieceOrder = {0, 6, 1};  // a place that is not on the map ends the path
  Map.DrawMapScreen();
  G.MapLevel = 1;
  Map.DrawMapScreen();  // the last piece: nothing follows
}

TEST(PointScript, ShowsAndHidesPictures) {
  GameHarness H;
  H.Clock.Set(kNow);
  H.MakeRow(2);
  TLevelPicture tower;
  tower.Name = "Tower";
  tower.Visible = false;
  TLevelPicture gate;
  gate.Name = "Gate";
  H.State.Level.Pictures = {tower, gate, tower};
  H.State.Level.PointScripts = {"", "<Script><HidePic Name=\"Gate\"/><ShowPic Name=\"Tower\"/></Script>"};
  FakeCanvas canvas;
  TKingdomMap map(H.State, H.Svc, canvas);
  map.RunPointScript(0);
  map.RunPointScript(9);
  EXPECT_TRUE(H.Sound.Samples.empty());

  map.RunPointScript(1);
  const TLevelPicture& shown = H.State.Level.Pictures[0];
  EXPECT_TRUE(shown.Visible);
  EXPECT_EQ(shown.FlashStart, kNow);
  EXPECT_EQ(shown.FlashEnd, kNow + 800);
  EXPECT_EQ(shown.FlashCount, 2);
  EXPECT_EQ(shown.FlashAmplitude, 200);
  EXPECT_TRUE(H.State.Level.Pictures[2].Visible);
  EXPECT_FALSE(H.State.Level.Pictures[1].Visible);
  EXPECT_EQ(H.Sound.Samples, (std::vector<std::string>{"StreetDone.ogg", "StreetDone.ogg"}));
  EXPECT_EQ(H.State.Game.FullRedrawTime, kNow + 900);

  H.State.Level.PointScripts[0] = "ShowPic Tower";
  try {
    map.RunPointScript(0);
    FAIL() << "no exception";
  } catch (const QelException& e) {
    EXPECT_STREQ(e.what(), "XML Error in Point Script!");
  }
}

}  // namespace
}  // namespace qv::test
